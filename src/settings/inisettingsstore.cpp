#include "settings/inisettingsstore.h"

#include "files/atomicwrite.h"
#include "files/leftovers.h"
#include "files/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace settings
{

namespace
{

// Far longer than any font name or path a setting holds (a path is at most 4095 bytes), so a text
// beyond it was not written by this program.
constexpr qsizetype kLongestText = 32 * 1024;
// Far beyond any settings file this program writes.
constexpr qint64 kLargestFile = 16 * 1024 * 1024;

// Whether the file at path exists and is something other than a file or a folder.
bool isSpecialFile(const QString &path)
{
    struct stat info {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode) &&
           !S_ISDIR(info.st_mode);
}

QString keyPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

std::unique_ptr<QSettings> openSettings(const QString &filePath)
{
    auto settings = std::make_unique<QSettings>(filePath, QSettings::IniFormat);
    settings->setFallbacksEnabled(false);
    return settings;
}

} // namespace

IniSettingsStore::IniSettingsStore() : IniSettingsStore(defaultFilePath()) {}

IniSettingsStore::IniSettingsStore(const QString &filePath) : m_filePath(filePath)
{
    if (isSpecialFile(filePath))
        m_problem = QStringLiteral("設定ファイル %1 は通常のファイルではない（パイプや装置など）"
                                   "ため、読み込みも保存もしません。既定の設定で起動します。")
                        .arg(QDir::toNativeSeparators(filePath));
    else
        m_settings = openSettings(filePath);
    // What a write killed before its rename left beside the file.
    files::removeWriteLeftovers({QFileInfo(filePath).absolutePath()});
}

IniSettingsStore::~IniSettingsStore()
{
    flush(); // writes nobody flushed are not dropped; a failure here has nobody left to tell
}

QString IniSettingsStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tavlen/Tavlen.conf");
}

QString IniSettingsStore::read(const QString &section, const QString &key,
                               const QString &defaultText) const
{
    const QString path = keyPath(section, key);
    if (const auto pending = m_unconfirmed.constFind(path); pending != m_unconfirmed.cend())
        return *pending;
    if (!m_settings)
        return defaultText;
    const QVariant value = m_settings->value(path);
    if (!value.isValid())
        return defaultText;
    // An unquoted text with commas, typed into the file by hand, comes back as a list.
    QString text;
    if (value.typeId() == QMetaType::QStringList)
        text = value.toStringList().join(QStringLiteral(", "));
    else if (value.canConvert<QString>())
        text = value.toString();
    else
        return defaultText;
    return text.size() > kLongestText ? defaultText : text;
}

void IniSettingsStore::write(const QString &section, const QString &key, const QString &text)
{
    m_unconfirmed.insert(keyPath(section, key), text);
}

bool IniSettingsStore::flush(QString *reason)
{
    // A file that cannot be used keeps this run's settings in memory only, as problem() said.
    if (m_unconfirmed.isEmpty() || !m_problem.isEmpty())
        return true;
    if (const std::optional<QString> failure = writeMerged()) {
        if (reason)
            *reason = QStringLiteral("設定ファイル %1 に書き込めませんでした。%2")
                          .arg(QDir::toNativeSeparators(m_filePath), *failure);
        return false;
    }
    m_unconfirmed.clear();
    m_settings.reset();
    m_settings = openSettings(m_filePath); // reads the new file
    return true;
}

// The file's text with the unconfirmed writes merged in, as QSettings writes it, made in a scratch
// copy of the file and then put in place of the file by the atomic writer. The reason on failure.
std::optional<QString> IniSettingsStore::writeMerged() const
{
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return QStringLiteral("一時フォルダーを作成できません。");
    const QString copy = scratch.filePath(QStringLiteral("Tavlen.conf"));
    if (QFileInfo::exists(m_filePath)) {
        auto current = files::readRegularFile(m_filePath, kLargestFile);
        if (const QString *failure = std::get_if<QString>(&current))
            return QStringLiteral("今の設定ファイルを読み込めません（%1）").arg(*failure);
        if (const std::optional<QString> failure =
                files::writeFileAtomically(copy, std::get<QByteArray>(current)))
            return failure;
    }
    // A malformed file is read with a format error and then written whole; a second pass over
    // the rewritten copy confirms it.
    for (int pass = 0; pass < 2; ++pass) {
        QSettings merged(copy, QSettings::IniFormat);
        merged.setFallbacksEnabled(false);
        for (auto it = m_unconfirmed.cbegin(); it != m_unconfirmed.cend(); ++it)
            merged.setValue(it.key(), it.value());
        merged.sync();
        if (merged.status() == QSettings::NoError)
            break;
        if (merged.status() == QSettings::AccessError || pass == 1)
            return QStringLiteral("一時ファイルを書き込めません。");
    }
    QFile text(copy);
    if (!text.open(QIODevice::ReadOnly))
        return QStringLiteral("一時ファイルを読み込めません。");
    const QByteArray bytes = text.readAll();
    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return QStringLiteral("設定のフォルダー %1 を作成できません。")
            .arg(QDir::toNativeSeparators(folder));
    return files::writeFileAtomically(m_filePath, bytes);
}

} // namespace settings
