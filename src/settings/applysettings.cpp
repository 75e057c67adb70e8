#include "settings/applysettings.h"

#include "codec/filetext.h"
#include "platform/richtextbox.h"
#include "platform/sharedstate.h"
#include "settings/shellregistration.h"

#include <QScrollBar>

namespace settings
{

std::optional<QString> ApplySettings(const AppSettings &s, const ApplyTargets &t, ShellTarget shell)
{
    platform::RichTextBox &editor = t.rtbMain;
    const int start = editor.SelStart();
    const int length = editor.SelLength();
    const int scrollX = editor.horizontalScrollBar()->value();
    const int scrollY = editor.verticalScrollBar()->value();
    t.setPanelText(QStringLiteral("Message"), QStringLiteral("設定の反映処理中..."));
    t.state.bolBusy = true;

    editor.setSelStart(0);
    editor.setSelLength(int(editor.rawText().size()));
    editor.setSelBold(s.Font.Bold);
    editor.setSelItalic(s.Font.Italic);
    editor.setSelFontName(s.Font.Name);
    editor.setSelFontSize(s.Font.Size);
    editor.setSelStrikeThru(s.Font.Strikethrough);
    editor.setSelUnderline(s.Font.Underline);
    editor.setSelStart(start);
    editor.setSelLength(length);
    editor.horizontalScrollBar()->setValue(scrollX);
    editor.verticalScrollBar()->setValue(scrollY);
    editor.setBackColor(s.BgColor);
    editor.setForeColor(s.FontColor);

    t.state.bolBusy = false;
    if (t.DecorateText)
        t.DecorateText();

    QString relationFailure;
    QString editorFailure;
    const bool related =
        SetRelation(shell.registry, s.Relation, shell.launchCommand, &relationFailure);
    const bool listed =
        SetDefaultEditor(shell.registry, s.DefaultEditor, shell.launchCommand, &editorFailure);

    t.setPanelText(QStringLiteral("ReadCode"), codec::codeLabel(s.ReadCode));
    t.setPanelText(QStringLiteral("WriteCode"), codec::codeLabel(s.WriteCode));
    if (t.RefreshRecentMenu)
        t.RefreshRecentMenu();
    t.setPanelText(QStringLiteral("Message"), QString());

    if (!related)
        return relationFailure;
    if (!listed)
        return editorFailure;
    return std::nullopt;
}

} // namespace settings
