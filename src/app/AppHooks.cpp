// The hooks' defaults (see AppHooks.h). The document defaults are the plain form of
// what the documents module does: open through the text engine's loader, ask
// "Save Changes?" before a modified text is closed, save to the document's own
// name (or a name the user chooses).
#include "app/AppHooks.h"

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/StatusLine.h"
#include "platform/MessageBoxes.h"
#include "platform/TextConvert.h"
#include "platform/posix/SafeFile.h"
#include "shared/FileFolder.h"

#include <QFileDialog>

namespace narvo {

namespace {

void DefaultResetEditState()
{
    if (Form1) {
        Form1->MainEditor->ClearMark();
        Form1->MainEditor->SetModified(false);
    }
    WholeWordFlag = false;
    ForwardFlag = true;
    QuoteNextFlag = false;
    BreakFlag = false;
    BoxStyle = 0;
}

// Saves the main pane when modified; false when no name was chosen. A write error
// passes on as an exception and leaves the text modified.
bool DefaultSaveIfModified()
{
    TScrollEditor* Main = Form1->MainEditor;
    if (!Main->Modified)
        return true;
    std::string Name = CurrentFileName;
    if (Name.empty()) {
        const QString Chosen = QFileDialog::getSaveFileName(Form1, QStringLiteral("Save Text As"),
                                                            FileNameToQString(GetCurrentFolder()),
                                                            QStringLiteral("All Files (*);;Text Files (*.txt *.doc)"));
        if (Chosen.isEmpty())
            return false;
        Name = QStringToFileName(Chosen);
    }
    Main->SaveToFile(Name);
    Main->SetModified(false);
    CurrentFileName = Name;
    SetWindowTitle(Name);
    UpdateStatus();
    return true;
}

bool DefaultCloseTextFile()
{
    if (!Form1)
        return true;
    TScrollEditor* Main = Form1->MainEditor;
    if (Main->Modified) {
        switch (MessageDlg("Save Changes?", mtWarning, mbYesNoCancel)) {
        case mrYes:
            if (!DefaultSaveIfModified())
                return false;
            break;
        case mrNo:
            break;
        default:
            return false;
        }
    }
    CurrentFileName.clear();
    Main->Clear();
    AppHooks().ResetEditState();
    return true;
}

bool DefaultOpenTextFile(const std::string& Name)
{
    if (!Form1)
        return false;
    if (!FileExists(Name)) {
        MessageDlg("File Does Not Exist.", mtWarning, mbOK);
        return false;
    }
    // The whole file is read before the current text is closed, so a file that
    // cannot be read (a folder, no permission) leaves the current text as it was.
    std::string Bytes = ReadFileBytes(Name);
    if (!AppHooks().CloseTextFile())
        return false;
    ChDirToFileFolder(Name);
    TScrollEditor* Main = Form1->MainEditor;
    Main->SetText(Bytes);
    std::string().swap(Bytes);
    Main->FileName = Name;
    CurrentFileName = Name;
    AppHooks().ResetEditState();
    UpdateStatus();
    SetWindowTitle(Name);
    Form1->MainEditor->setFocus();
    return true;
}

TAppHooks DefaultHooks()
{
    TAppHooks H;
    H.LoadSettings = [] {};
    H.LoadExternalPrograms = [] {};
    H.ResetEditState = DefaultResetEditState;
    H.OpenTextFile = DefaultOpenTextFile;
    H.CloseTextFile = DefaultCloseTextFile;
    H.LoadCommandLines = [] {};
    H.SaveCommandLines = [] {};
    H.CurrentCommandLine = [] { return 0; };
    H.RunCommandLine = [](bool) {};
    H.StepCommandLine = [](int) {};
    H.ClearRunGuard = [] {};
    H.CreateTextRegister = [] {};
    H.FreeTextRegister = [] {};
    H.ScoopFreeSpace = []() -> std::int64_t { return 100000; };
    H.StartStatusThread = [] {};
    H.StopStatusThread = [] {};
    H.StartAutoSave = [] {};
    H.StopAutoSave = [] {};
    H.LoadRecentFiles = [] {};
    H.BoxCharText = [] { return std::string(" "); };
    return H;
}

TAppHooks GHooks = DefaultHooks();

}  // namespace

TAppHooks& AppHooks() { return GHooks; }

void ResetAppHooks() { GHooks = DefaultHooks(); }

}  // namespace narvo
