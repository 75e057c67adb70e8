#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>

namespace platform
{

namespace
{

// Texts of Qt's dialogs that Qt's Japanese catalogue leaves in English, by the source text of
// the printing and file dialogs that show them.
struct Missing {
    const char *source;
    const char *japanese;
};
constexpr Missing MissingTexts[] = {
    {"Pages", "ページ指定"},
    {"Specify pages or ranges separated by commas. Ranges are specified by two numbers separated "
     "by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "印刷するページをカンマで区切って指定します。範囲はハイフンでつないだ 2 つの数で指定します。"
     "例：3,5-7,9 は 3、5、6、7、9 ページを印刷します。"},
    {"Double Sided Printing", "両面印刷"},
    {"Long side binding", "長辺とじ"},
    {"Short side binding", "短辺とじ"},
    {"Properties", "プロパティ"},
    {"Page Setup", "ページ設定"},
    {"Advanced", "詳細設定"},
    {"Job", "ジョブ"},
    {"Comment:", "コメント:"},
    {"Layout", "レイアウト"},
    {"Folder", "フォルダー"},
    {"Show hidden files", "隠しファイルを表示"},
};

// The contexts of the printing and file dialogs.
bool dialogContext(const char *context)
{
    for (const char *prefix : {"QPrint", "QPage", "QUnixPrint", "QCups", "QFileDialog",
                               "QFileSystemModel", "QAbstractFileIconProvider"})
        if (std::strncmp(context, prefix, std::strlen(prefix)) == 0)
            return true;
    return false;
}

// Answers only for the texts above and leaves everything else to Qt's catalogue.
class MissingTranslations : public QTranslator
{
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *sourceText, const char * /*disambiguation*/,
                      int /*n*/) const override
    {
        if (!context || !sourceText || !dialogContext(context))
            return {};
        for (const Missing &m : MissingTexts)
            if (std::strcmp(sourceText, m.source) == 0)
                return QString::fromUtf8(m.japanese);
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

bool installJapaneseQtTranslations(QCoreApplication &application)
{
    QCoreApplication::installTranslator(new MissingTranslations(&application));
    auto *qt = new QTranslator(&application);
    if (!qt->load(QStringLiteral("qt_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

} // namespace platform
