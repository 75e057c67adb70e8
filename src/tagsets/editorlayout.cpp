#include "tagsets/editorlayout.h"

namespace tagsets
{

EditorLayout layoutEditor(float width, float height)
{
    const EditorLayout design;
    EditorLayout l = design;
    const float dW = width - EditorDesignWidth;
    const float dH = height - EditorDesignHeight;

    l.fraCont.Width = design.fraCont.Width + dW;
    l.fraCont.Height = design.fraCont.Height + dH;
    l.txtBefore.Width = design.txtBefore.Width + dW;
    l.txtBefore.Height = design.txtBefore.Height + dH / 2;
    l.labCenter.Top = design.labCenter.Top + dH / 2;
    l.labCenter.Width = l.txtBefore.Width;
    l.txtAfter.Top = design.txtAfter.Top + dH / 2;
    l.txtAfter.Width = l.txtBefore.Width;
    l.txtAfter.Height = l.txtBefore.Height;
    l.cmdNew.Left = design.cmdNew.Left + dW;
    l.cmdNew.Top = design.cmdNew.Top + dH;
    l.cmdSave.Left = design.cmdSave.Left + dW;
    l.cmdSave.Top = l.cmdNew.Top;
    l.cmdClose.Left = design.cmdClose.Left + dW;
    l.cmdClose.Top = l.cmdNew.Top;
    return l;
}

} // namespace tagsets
