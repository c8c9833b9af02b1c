// The tools' host over the window and the text tools' forms (see ToolHost.h).
#include "app/ToolHost.h"

#include "app/AutoSave.h"
#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "editor/ScrollEditor.h"
#include "engine/EditBuffer.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "tools/BlockIndent.h"
#include "tools/ChangeCase.h"
#include "tools/FileDetails.h"
#include "tools/MatchPairs.h"
#include "tools/TextToolHooks.h"

#include <QLabel>

namespace narvo {

namespace {

// What the tools see of the main window.
class TWindowToolHost : public TToolHost {
public:
    QWidget* MainWindow() override { return Form1; }
    TScrollEditor* ActiveEditor() override { return Form1 ? Form1->ActiveEditor : nullptr; }
    TScrollEditor* MainEditor() override { return Form1 ? Form1->MainEditor : nullptr; }
    std::string CurrentFileName() override { return narvo::CurrentFileName; }
    void UpdateStatus() override { narvo::UpdateStatus(); }
    void ShowWorking(bool On) override
    {
        if (On) {
            FBefore = StatusMessage();
            FBeforeError = StatusMessageIsError();
            BeginWaitCursor(Qt::WaitCursor);
            // Painted now: the walk takes its first events only after its first piece.
            narvo::ShowStatusMessage("Working", false);
            if (Form1 && Form1->StatusDis)
                Form1->StatusDis->repaint();
            FWorkingSerial = StatusMessageSerial();
            return;
        }
        EndWaitCursor();
        if (StatusMessageSerial() == FWorkingSerial)
            narvo::ShowStatusMessage(FBefore, FBeforeError);
    }
    void ShowStatusMessage(const std::string& Text) override { narvo::ShowStatusMessage(Text, false); }
    void ShowStepBroken() override
    {
        narvo::ShowStatusMessage("Break", true);
        narvo::UpdateStatus();
    }
    bool SaveIfModified() override { return narvo::SaveIfModified(); }
    void GotoLine(std::int64_t N) override
    {
        if (!Form1 || !Form1->ActiveEditor)
            return;
        // A line past the end leaves the cursor where it is.
        if (Form1->ActiveEditor->GotoLine(N))
            Form1->ActiveEditor->RefreshView(false);
        narvo::UpdateStatus();
    }
    void PasteText(const std::string& Text) override
    {
        if (!Form1)
            return;
        TScrollEditor* Pane = Form1->FocusedEditor();
        if (!Pane)
            return;
        if (TXRegister* Register = ProgramRegister())
            Register->ScoopOff(*Pane, false);
        // The viewer shows the clipboard's text as it is, lone LFs included: each line
        // end becomes the one CR of a line break, as Paste makes it.
        Pane->InsertText(NormalizeLineBreaks(Text));
        Pane->RefreshView(true);
        if (TScrollEditor* Active = Form1->ActiveEditor) {
            ShowEditorStatus(Active->Status);
            narvo::UpdateStatus();
            Active->setFocus();
        }
    }
    std::string BackupFolder() override { return narvo::BackupFolder(); }
    bool OpenTextFile(const std::string& FileName) override { return narvo::OpenTextFile(FileName); }

private:
    // The message "Working" stood in for.
    std::string FBefore;
    bool FBeforeError = false;
    std::uint64_t FWorkingSerial = 0;
};

}  // namespace

void InstallTextTools()
{
    static TWindowToolHost Host;
    SetToolHost(&Host);
}

void CreateTextToolForms()
{
    DetailsDlg();
    MatchPairsDlg();
    IndentDlg();
    CaseDlg();
}

void FreeTextToolForms()
{
    FreeCaseDlg();
    FreeIndentDlg();
    FreeMatchPairsDlg();
    FreeDetailsDlg();
}

}  // namespace narvo
