#include "settings/freedesktopregistry.h"

#include "settings/defaultapplication.h"
#include "settings/mimeappslist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace settings
{

namespace
{

const QString MainGroup = QStringLiteral("Desktop Entry");
const QString KeyField = QStringLiteral("X-Tavlen-Key");
const QString CaptionField = QStringLiteral("X-Tavlen-Caption");
const QString CommandField = QStringLiteral("X-Tavlen-Command");
const QString VerbField = QStringLiteral("X-Tavlen-Verb");
const QString AssociationField = QStringLiteral("X-Tavlen-Association");
// The application put before ours in the type's list, so that ours never comes first.
const QString AheadField = QStringLiteral("X-Tavlen-Ahead");
const QString OwnPrefix = QStringLiteral("tavlen-");

bool is(const QString &name, const char *word)
{
    return name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Lower-case letters and digits; anything else becomes '-'.
QString idPart(const QString &name)
{
    QString out = name.toLower();
    for (QChar &c : out) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')))
            c = QLatin1Char('-');
    }
    return out;
}

// A caption without its access key: "&Tavlenで編集" → "Tavlenで編集", "編集(&E)" → "編集".
QString withoutAccessKey(QString caption)
{
    static const QRegularExpression suffix(QStringLiteral("\\(&[^&]\\)$"));
    caption.remove(suffix);
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        out += caption.at(i);
    }
    return out;
}

bool fail(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

// Replaces the file's content unless it is already this text; *changed tells which.
bool writeText(const QString &path, const QString &text, QString *reason, bool *changed = nullptr)
{
    QFile current(path);
    const QByteArray bytes = text.toUtf8();
    if (changed)
        *changed = false;
    if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes)
        return true;
    current.close();
    if (changed)
        *changed = true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    return fail(reason, QStringLiteral("「%1」に書き込めませんでした。\n%2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
}

// The file's entry when it is one of ours (it names its key), else nothing.
std::optional<DesktopEntry> readOwned(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    DesktopEntry entry = parseDesktopEntry(QString::fromUtf8(file.readAll()));
    if (entry.value(MainGroup, KeyField).isEmpty())
        return std::nullopt;
    return entry;
}

} // namespace

QString mimeTypeOfExtension(const QString &extension)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("file") + extension,
                                                           QMimeDatabase::MatchExtension);
    return type.isValid() && !type.isDefault() ? type.name() : QString();
}

struct FreedesktopRegistry::Entry {
    enum class Kind { Verb, OpenWith } kind;
    enum class Part { Caption, Command, Inside } part;
    QString key;  // the entry's own key, as written
    QString type; // Verb: the MIME type; OpenWith: the extension
    QString name; // Verb: the verb; OpenWith: the application
    QString verb; // OpenWith: the verb under "shell"
    QString fileName;
    QString caption;
    QString command;
    QString ahead;
};

FreedesktopRegistry::FreedesktopRegistry()
    : FreedesktopRegistry(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation),
                          QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                              QStringLiteral("/mimeapps.list"))
{
}

FreedesktopRegistry::FreedesktopRegistry(QString applicationsDir, QString mimeAppsList)
    : m_applicationsDir(std::move(applicationsDir)), m_mimeAppsList(std::move(mimeAppsList))
{
}

std::optional<FreedesktopRegistry::Entry> FreedesktopRegistry::entryFor(const QString &key)
{
    const std::optional<QStringList> names = splitKeyPath(key);
    if (!names)
        return std::nullopt;
    const QStringList &n = *names;
    Entry e;
    qsizetype depth = 0;
    if (n.size() >= 3 && n[0].contains(QLatin1Char('/')) && is(n[1], "shell")) {
        e.kind = Entry::Kind::Verb;
        e.type = n[0];
        e.name = n[2];
        e.fileName = QStringLiteral("tavlen-%1-%2.desktop").arg(idPart(e.type), idPart(e.name));
        depth = 3;
    } else if (n.size() >= 3 && n[0].startsWith(QLatin1Char('.')) && is(n[1], "OpenWithList")) {
        e.kind = Entry::Kind::OpenWith;
        e.type = n[0];
        e.name = n[2];
        e.fileName = QStringLiteral("tavlen-%1-openwith-%2.desktop")
                         .arg(idPart(e.type.mid(1)), idPart(e.name));
        if (n.size() >= 5 && is(n[3], "shell"))
            e.verb = n[4];
        depth = 5;
    } else {
        return std::nullopt;
    }
    e.key = QStringList(n.mid(0, 3)).join(QLatin1Char('\\'));
    if (n.size() == depth && (e.kind == Entry::Kind::Verb || !e.verb.isEmpty()))
        e.part = Entry::Part::Caption;
    else if (n.size() == depth + 1 && is(n[depth], "command"))
        e.part = Entry::Part::Command;
    else
        e.part = Entry::Part::Inside;
    return e;
}

std::optional<QString> FreedesktopRegistry::value(const QString &key,
                                                  const QString &valueName) const
{
    if (!valueName.isEmpty())
        return std::nullopt;
    const std::optional<QStringList> names = splitKeyPath(key);
    if (names && names->size() == 1 && key.startsWith(QLatin1Char('.'))) {
        const QString type = mimeTypeOfExtension(key);
        return type.isEmpty() ? std::nullopt : std::optional<QString>(type);
    }
    const std::optional<Entry> e = entryFor(key);
    if (!e || e->part == Entry::Part::Inside)
        return std::nullopt;
    const std::optional<DesktopEntry> file =
        readOwned(m_applicationsDir + QLatin1Char('/') + e->fileName);
    if (e->part == Entry::Part::Command)
        return file ? std::optional<QString>(file->value(MainGroup, CommandField)) : std::nullopt;
    if (file)
        return file->value(MainGroup, CaptionField);
    const auto pending = m_pendingCaptions.constFind(e->key.toLower());
    return pending == m_pendingCaptions.cend() ? std::nullopt : std::optional<QString>(*pending);
}

bool FreedesktopRegistry::setValue(const QString &key, const QString &valueName,
                                   const QString &text, QString *reason)
{
    std::optional<Entry> e = entryFor(key);
    if (!e || e->part == Entry::Part::Inside || !valueName.isEmpty())
        return fail(reason, QStringLiteral("デスクトップには登録できない場所です: ") + key);
    const QString path = m_applicationsDir + QLatin1Char('/') + e->fileName;
    const std::optional<DesktopEntry> file = readOwned(path);
    if (!file && QFileInfo::exists(path))
        return fail(reason,
                    QStringLiteral("「%1」は、このプログラムが作ったファイルではありません。")
                        .arg(QDir::toNativeSeparators(path)));
    const QString lower = e->key.toLower();
    e->caption = file ? file->value(MainGroup, CaptionField) : m_pendingCaptions.value(lower);
    e->command = file ? file->value(MainGroup, CommandField) : QString();
    if (e->kind == Entry::Kind::OpenWith && e->verb.isEmpty() && file)
        e->verb = file->value(MainGroup, VerbField);
    e->ahead = file ? file->value(MainGroup, AheadField) : QString();
    (e->part == Entry::Part::Caption ? e->caption : e->command) = text;
    if (e->command.isEmpty()) { // an entry cannot stand without its command
        m_pendingCaptions.insert(lower, e->caption);
        return !file || drop(path, *file, reason);
    }
    m_pendingCaptions.remove(lower);
    return store(*e, reason);
}

DesktopEntry FreedesktopRegistry::render(const Entry &e) const
{
    DesktopEntry d;
    const bool verb = e.kind == Entry::Kind::Verb;
    const QString shown = withoutAccessKey(e.caption);
    d.set(MainGroup, QStringLiteral("Type"), QStringLiteral("Application"));
    d.set(MainGroup, QStringLiteral("Version"), QStringLiteral("1.4"));
    d.set(MainGroup, QStringLiteral("Name"), verb ? (shown.isEmpty() ? e.name : shown) : e.name);
    d.set(MainGroup, QStringLiteral("Exec"), e.command);
    d.set(MainGroup, QStringLiteral("Terminal"), QStringLiteral("false"));
    // Not a launcher of its own, and no MimeType: the desktop would make an entry of the user's
    // own folder the default opener when the user never chose one.
    d.set(MainGroup, QStringLiteral("NoDisplay"), QStringLiteral("true"));
    const QString action = idPart(e.verb);
    if (!verb)
        d.set(MainGroup, QStringLiteral("Actions"), action + QLatin1Char(';'));
    d.set(MainGroup, KeyField, e.key);
    d.set(MainGroup, CaptionField, e.caption);
    d.set(MainGroup, CommandField, e.command);
    d.set(MainGroup, AssociationField, associationType(e));
    if (!e.ahead.isEmpty())
        d.set(MainGroup, AheadField, e.ahead);
    if (!verb) {
        d.set(MainGroup, VerbField, e.verb);
        const QString group = QStringLiteral("Desktop Action ") + action;
        d.set(group, QStringLiteral("Name"), shown.isEmpty() ? e.verb : shown);
        d.set(group, QStringLiteral("Exec"), e.command);
    }
    return d;
}

QString FreedesktopRegistry::associationType(const Entry &e)
{
    return e.kind == Entry::Kind::Verb ? e.type : mimeTypeOfExtension(e.type);
}

bool FreedesktopRegistry::store(Entry e, QString *reason)
{
    const QString type = associationType(e);
    if (type.isEmpty())
        return fail(reason, QStringLiteral("「%1」のファイルの種類が分かりません。").arg(e.type));
    QString list;
    if (!readMimeApps(list, reason))
        return false;
    // Listed among the applications for the type, never before the one that opens it now.
    const QStringList listed = addedAssociations(list, type);
    QString inserted;
    bool offered = true;
    if (!listed.contains(e.fileName)) {
        // Where the desktop's choice cannot be learnt, ours is not offered rather than risk
        // coming first.
        const std::optional<QString> known = defaultApplicationFor(type);
        offered = known.has_value();
        const QString current = known.value_or(QString());
        const bool usable = !current.isEmpty() && !current.startsWith(OwnPrefix);
        if (usable && !listed.contains(current))
            inserted = current;
        e.ahead = usable && (!inserted.isEmpty() || aheadOfOthers(type).contains(current))
                      ? current
                      : QString();
    }
    const QString path = m_applicationsDir + QLatin1Char('/') + e.fileName;
    bool changed = false;
    if (!writeText(path, formatDesktopEntry(render(e)), reason, &changed))
        return false;
    if (changed)
        refreshDatabase();
    if (!offered)
        return true;
    QString edited = inserted.isEmpty() ? list : withAddedAssociation(list, type, inserted);
    edited = withAddedAssociation(edited, type, e.fileName);
    return edited == list || writeText(m_mimeAppsList, edited, reason);
}

QStringList FreedesktopRegistry::aheadOfOthers(const QString &type) const
{
    QStringList ahead;
    const QStringList files =
        QDir(m_applicationsDir).entryList({OwnPrefix + QStringLiteral("*.desktop")}, QDir::Files);
    for (const QString &name : files) {
        const std::optional<DesktopEntry> file =
            readOwned(m_applicationsDir + QLatin1Char('/') + name);
        if (file && file->value(MainGroup, AssociationField) == type)
            ahead << file->value(MainGroup, AheadField);
    }
    return ahead;
}

bool FreedesktopRegistry::drop(const QString &path, const DesktopEntry &file, QString *reason)
{
    const QString type = file.value(MainGroup, AssociationField);
    bool ok = true;
    if (!type.isEmpty()) {
        QString list;
        ok = readMimeApps(list, reason);
        if (ok) {
            QString edited = withoutAddedAssociation(list, type, QFileInfo(path).fileName());
            // What was put before ours goes with the last of ours.
            const QString ahead = file.value(MainGroup, AheadField);
            const QStringList rest = addedAssociations(edited, type);
            if (!ahead.isEmpty() && std::none_of(rest.begin(), rest.end(), [](const QString &id) {
                    return id.startsWith(OwnPrefix);
                }))
                edited = withoutAddedAssociation(edited, type, ahead);
            ok = edited == list || writeText(m_mimeAppsList, edited, reason);
        }
    }
    QFile f(path);
    if (f.exists() && !f.remove())
        ok = fail(reason, QStringLiteral("「%1」を削除できませんでした。\n%2")
                              .arg(QDir::toNativeSeparators(path), f.errorString()));
    refreshDatabase();
    return ok;
}

bool FreedesktopRegistry::removeKey(const QString &key, QString *reason)
{
    if (!splitKeyPath(key))
        return true;
    const QString lower = key.toLower();
    const auto related = [&](const QString &entryKey) {
        const QString k = entryKey.toLower();
        return k == lower || k.startsWith(lower + QLatin1Char('\\')) ||
               lower.startsWith(k + QLatin1Char('\\'));
    };
    for (auto it = m_pendingCaptions.begin(); it != m_pendingCaptions.end();)
        it = related(it.key()) ? m_pendingCaptions.erase(it) : std::next(it);
    bool ok = true;
    const QStringList files =
        QDir(m_applicationsDir).entryList({QStringLiteral("tavlen-*.desktop")}, QDir::Files);
    for (const QString &name : files) {
        const QString path = m_applicationsDir + QLatin1Char('/') + name;
        const std::optional<DesktopEntry> file = readOwned(path);
        if (file && related(file->value(MainGroup, KeyField)))
            ok = drop(path, *file, ok ? reason : nullptr) && ok;
    }
    return ok;
}

bool FreedesktopRegistry::readMimeApps(QString &text, QString *reason) const
{
    QFile file(m_mimeAppsList);
    text.clear();
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return fail(reason, QStringLiteral("「%1」を読めませんでした。\n%2")
                                .arg(QDir::toNativeSeparators(m_mimeAppsList), file.errorString()));
    text = QString::fromUtf8(file.readAll());
    return true;
}

void FreedesktopRegistry::refreshDatabase() const
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (tool.isEmpty() || !QFileInfo::exists(m_applicationsDir))
        return;
    QProcess process;
    process.start(tool, {QStringLiteral("-q"), m_applicationsDir});
    process.waitForFinished(10000);
}

} // namespace settings
