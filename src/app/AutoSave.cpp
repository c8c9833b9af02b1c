// The auto-save timer (see AutoSave.h). The save itself is the documents module's
// SaveTextFile, so an auto-save writes the temporary file, makes the ".BAK" and
// falls back to the emergency file exactly as File > Save does. What this module
// adds is the naming of untitled texts, the recent-files rule for backups, the
// failures said in the status line instead of boxes, and giving the focus back.
#include "app/AutoSave.h"

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "platform/Application.h"
#include "tools/AutoBackup.h"
#include "platform/MessageBoxes.h"
#include "shared/StringRoutines.h"
#include "platform/posix/SafeFile.h"
#include "platform/posix/SettingsFolder.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace narvo {

namespace {

QPointer<QTimer> GTimer;
// Set while a tick runs: the next tick must not start a second save meanwhile (a
// save may let the event loop run).
bool GBusy = false;

char LowerAscii(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

bool ContainsNoCase(const std::string& Text, const std::string& Part)
{
    const auto It = std::search(Text.begin(), Text.end(), Part.begin(), Part.end(),
                                [](char A, char B) { return LowerAscii(A) == LowerAscii(B); });
    return It != Text.end();
}

bool PathExists(const std::string& Path)
{
    struct stat St {};
    return ::lstat(Path.c_str(), &St) == 0;
}

}  // namespace

void CreateBackupFolder()
{
    const std::string Folder = BackupFolder();
    const std::string Path = Folder.substr(0, Folder.size() - 1);
    try {
        EnsureSettingsFolder();
    } catch (const EFileError&) {
        throw EFileError(FileErrorText("Unable to create directory", Path, errno));
    }
    if (::mkdir(Path.c_str(), 0700) != 0 && errno != EEXIST)
        throw EFileError(FileErrorText("Unable to create directory", Path, errno));
    struct stat St {};
    if (::stat(Path.c_str(), &St) != 0 || !S_ISDIR(St.st_mode))
        throw EFileError(FileErrorText("Unable to create directory", Path, ENOTDIR));
    // Drafts are private, also in a folder an older run made open to others.
    if ((St.st_mode & 077) != 0 && St.st_uid == ::geteuid())
        ::chmod(Path.c_str(), 0700);
}

std::string NewBackupName()
{
    const std::string Base = BackupFolder() + MakeBackupFileName();
    std::string Name = Base;
    for (int N = 2; PathExists(Name); ++N)
        Name = NumberedFileName(Base, N);
    return Name;
}

namespace {

// An automatic save opens no box: a box popping up under the typing takes the
// keyboard, and the next keys would go into it instead of the text. What a failing
// save would show goes to the status line, at every failure, and a box that asks
// answers as if closed without a choice.
class TStatusLineBoxes : public TMessageBoxes {
public:
    TStatusLineBoxes() : FPrevious(SetMessageBoxes(this)) {}
    ~TStatusLineBoxes() override { SetMessageBoxes(FPrevious); }
    TStatusLineBoxes(const TStatusLineBoxes&) = delete;
    TStatusLineBoxes& operator=(const TStatusLineBoxes&) = delete;

    TModalResult MessageDlg(const std::string& Text, TMsgDlgType, TMsgDlgButtons Buttons) override
    {
        SayAutoSaveFailure(Text);
        return EscapeResult(Buttons);
    }

private:
    TMessageBoxes* FPrevious;
};

// Gives the keyboard focus and the active pane back after the save took them.
class TFocusKeeper {
public:
    explicit TFocusKeeper(TForm1& Form) : FForm(&Form), FFocus(QApplication::focusWidget())
    {
        FActive = Form.ActiveEditor;
    }
    ~TFocusKeeper()
    {
        if (!FForm)
            return;
        if (FActive)
            FForm->ActiveEditor = FActive;
        if (FFocus && QApplication::focusWidget() != FFocus)
            FFocus->setFocus();
    }
    TFocusKeeper(const TFocusKeeper&) = delete;
    TFocusKeeper& operator=(const TFocusKeeper&) = delete;

private:
    QPointer<TForm1> FForm;
    QPointer<QWidget> FFocus;
    QPointer<TScrollEditor> FActive;
};

}  // namespace

std::string BackupFolder() { return AbsoluteFileName(SettingsFolder()) + "/BackupFiles/"; }

std::string MakeBackupFileName(const std::tm& Local)
{
    const auto N = [](int V) { return std::to_string(V); };
    return "NRV" + N(Local.tm_year + 1900) + "_" + N(Local.tm_mon + 1) + "_" + N(Local.tm_mday) + "_" +
           N(Local.tm_hour) + "_" + N(Local.tm_min) + "_" + N(Local.tm_sec) + ".txt";
}

std::string MakeBackupFileName()
{
    const std::time_t Now = std::time(nullptr);
    std::tm Local{};
    localtime_r(&Now, &Local);
    return MakeBackupFileName(Local);
}

void SayAutoSaveFailure(const std::string& Text)
{
    ShowStatusMessage("Not auto-saved: " + OneLine(Text), true);
}

bool AutoSaveTimerTimer()
{
    // A question about the document is open: saving now would answer it.
    if (!Form1 || GBusy || DocumentQuestionOpen())
        return false;
    TScrollEditor& Main = *Form1->MainEditor;
    if (!Main.Modified)
        return false;
    GBusy = true;
    struct TClearBusy {
        ~TClearBusy() { GBusy = false; }
    } ClearBusy;

    const bool Untitled = CurrentFileName.empty();
    TStatusLineBoxes NoBoxes;
    std::string Name = CurrentFileName;
    if (Untitled) {
        try {
            CreateBackupFolder();
        } catch (const EFileError& E) {
            SayAutoSaveFailure(E.what());
            return false;
        }
        Name = NewBackupName();
    }
    // Backups are not worth a place in the recent-files list.
    const bool AddToRecent = !ContainsNoCase(Name, BackupFolder());
    bool Saved = false;
    {
        TFocusKeeper Keep(*Form1);
        try {
            Saved = SaveTextFile(Name, AddToRecent, Untitled ? TSaveKind::Draft : TSaveKind::Automatic);
        } catch (const std::exception& E) {
            // Said here: the timer's exception boundary would show a box.
            SayAutoSaveFailure(E.what());
        }
    }
    if (!Saved)
        return false;
    // Every write into the backup folder (a new draft, its next save and its ".BAK")
    // shows in the backup browser.
    if (!AddToRecent)
        RefreshAutoBackDlg();
    return true;
}

void StartAutoSave(TForm1& Form)
{
    StopAutoSave();
    GTimer = new QTimer(&Form);
    GTimer->setObjectName(QStringLiteral("AutoSaveTimer"));
    QObject::connect(GTimer, &QTimer::timeout, &Form, [] { RunGuarded([] { AutoSaveTimerTimer(); }); });
    ApplyAutoSaveSettings();
}

void ApplyAutoSaveSettings()
{
    if (!GTimer)
        return;
    GTimer->setInterval(std::clamp(AutoSaveInterval, MinAutoSaveInterval, MaxAutoSaveInterval));
    if (AutoSaveEnabled)
        GTimer->start();
    else
        GTimer->stop();
}

void StopAutoSave()
{
    if (GTimer) {
        GTimer->stop();
        delete GTimer.data();
    }
    GTimer = nullptr;
}

int AutoSaveTimerInterval() { return GTimer ? GTimer->interval() : 0; }

bool AutoSaveTimerActive() { return GTimer && GTimer->isActive(); }

}  // namespace narvo
