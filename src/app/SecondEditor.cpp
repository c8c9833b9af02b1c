// The split and secondary panes (see SecondEditor.h): which extra pane shows, in
// which orientation, the cycle of the tool button, and the active-pane rule for a
// pane being hidden. The panes, the divider and their placing are the window's
// (MainWindowLayout.cpp); the menu entries and buttons call this module directly.
#include "app/SecondEditor.h"

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/SafeFile.h"
#include "shared/FileFolder.h"

#include <QApplication>

namespace narvo {

namespace {

// Shown within the window, also while the window itself is not on the screen.
bool Shown(const TForm1& Form, const QWidget* Pane) { return Pane->isVisibleTo(&Form); }

}  // namespace

int SplitMode(const TForm1& Form)
{
    if (Shown(Form, Form.Editor3))
        return 2;
    if (Shown(Form, Form.Editor2))
        return 1;
    return 0;
}

void SetSplitMode(TForm1& Form, int Mode, bool Horizontal)
{
    TScrollEditor* Active = Form.ActiveEditor;
    const bool HadFocus = Active && Active->hasFocus();
    Form.LayoutSplitEditors(Mode, Horizontal);
    if (Active && Active != Form.MainEditor && !Shown(Form, Active)) {
        Form.ActiveEditor = Form.MainEditor;
        if (HadFocus)
            Form.MainEditor->setFocus();
        Form.UpdateStatus();
    }
    UpdateSplitMenuChecks(Form);
}

void SetSplitOrientation(TForm1& Form, bool Horizontal) { SetSplitMode(Form, SplitMode(Form), Horizontal); }

void CycleSplitEditor(TForm1& Form)
{
    static constexpr int Next[3] = {1, 2, 0};
    SetSplitMode(Form, Next[SplitMode(Form)], Form.IsSplitHorizontal());
    Form.MainEditor->setFocus();
    Form.ActiveEditor = Form.MainEditor;
}

void ShowSplitEditorMnuClick(TForm1& Form)
{
    SetSplitMode(Form, Shown(Form, Form.Editor2) ? 0 : 1, Form.IsSplitHorizontal());
}

void ShowSecondaryEditorMnuClick(TForm1& Form)
{
    SetSplitMode(Form, Shown(Form, Form.Editor3) ? 0 : 2, Form.IsSplitHorizontal());
}

void ToggleTopRightBtnClick(TForm1& Form) { SetSplitOrientation(Form, !Form.IsSplitHorizontal()); }

bool OfferToSaveSecondary(TForm1& Form)
{
    TScrollEditor& Pane = *Form.Editor3;
    if (!Pane.Modified)
        return true;
    const std::string& Name = Pane.FileName;
    return AskToSaveText("Save Changes?\r\n" + (Name.empty() ? std::string("(the untitled secondary text)") : Name),
                         [&] { return SaveSecondaryIfModified(Form); });
}

bool SaveSecondaryIfModified(TForm1& Form)
{
    TScrollEditor& Pane = *Form.Editor3;
    if (!Pane.Modified)
        return true;
    std::string Target = Pane.FileName;
    if (Target.empty()) {
        const std::optional<std::string> Chosen = AskSaveFileName(Target);
        if (!Chosen)
            return false;
        Target = *Chosen;
    }
    return SavePaneToFile(Pane, Target);
}

bool OpenSecondaryFile(TForm1& Form, const std::string& Name)
{
    if (!OfferToSaveSecondary(Form))
        return false;
    ChDirToFileFolder(Name);
    try {
        LoadPaneFromFile(*Form.Editor3, Name);
    } catch (const EFileError& E) {
        // Nothing changed in the pane.
        MessageDlg(E.what(), mtError, mbOK);
        return false;
    }
    // A text just read is as it is on disk.
    Form.Editor3->SetModified(false);
    SetSplitMode(Form, 2, Form.IsSplitHorizontal());
    Form.UpdateStatus();
    return true;
}

}  // namespace narvo
