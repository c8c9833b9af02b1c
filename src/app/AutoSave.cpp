// The auto-save timer (see AutoSave.h). The save itself is the documents module's
// SaveTextFile, so an auto-save writes the temporary file, makes the ".BAK" and
// falls back to the emergency file exactly as File > Save does. What this module
// adds is the naming of untitled texts, the recent-files rule for backups, the
// single report of a failing save, and giving the focus back.
#include "app/AutoSave.h"

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "language/AppState.h"
#include "platform/Application.h"
#include "tools/AutoBackup.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/SafeFile.h"
#include "platform/posix/SettingsFolder.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace narvo {

namespace {

QPointer<QTimer> GTimer;
// Set while a tick runs: a message box shown by the save runs the event loop, and
// the next tick must not start a second save meanwhile.
bool GBusy = false;
// The document whose auto-save failed and was reported ("" for untitled texts);
// further failures for it stay quiet.
std::optional<std::string> GFailedFor;

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
    const std::string Folder = BackupFolder();
    const std::string Base = MakeBackupFileName();
    std::string Name = Folder + Base;
    const std::string Stem = Base.substr(0, Base.size() - 4);
    for (int N = 2; PathExists(Name); ++N)
        Name = Folder + Stem + "-" + std::to_string(N) + ".txt";
    return Name;
}

namespace {

// While a failure has been reported, the boxes a failing save would show answer as
// if closed without a choice, and nobody is asked again at every tick.
class TQuietMessageBoxes : public TMessageBoxes {
public:
    explicit TQuietMessageBoxes(bool Quiet) : FQuiet(Quiet)
    {
        if (FQuiet)
            FPrevious = SetMessageBoxes(this);
    }
    ~TQuietMessageBoxes() override
    {
        if (FQuiet)
            SetMessageBoxes(FPrevious);
    }
    TQuietMessageBoxes(const TQuietMessageBoxes&) = delete;
    TQuietMessageBoxes& operator=(const TQuietMessageBoxes&) = delete;

    TModalResult MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons Buttons) override
    {
        return EscapeResult(Buttons);
    }

private:
    bool FQuiet;
    TMessageBoxes* FPrevious = nullptr;
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

bool AutoSaveTimerTimer()
{
    // A question about the document is open: saving now would answer it.
    if (!Form1 || GBusy || DocumentQuestionOpen())
        return false;
    TScrollEditor& Main = *Form1->MainEditor;
    if (!Main.Modified) {
        // Saved by other means: the next failure is worth a report again.
        GFailedFor.reset();
        return false;
    }
    GBusy = true;
    struct TClearBusy {
        ~TClearBusy() { GBusy = false; }
    } ClearBusy;

    const bool Untitled = CurrentFileName.empty();
    const std::string Key = Untitled ? std::string() : CurrentFileName;
    TQuietMessageBoxes Quiet(GFailedFor && *GFailedFor == Key);
    std::string Name = CurrentFileName;
    if (Untitled) {
        try {
            CreateBackupFolder();
        } catch (const EFileError& E) {
            MessageDlg(E.what(), mtError, mbOK);
            GFailedFor = Key;
            return false;
        }
        Name = NewBackupName();
    }
    // Backups are not worth a place in the recent-files list.
    const bool AddToRecent = !ContainsNoCase(Name, BackupFolder());
    bool Saved = false;
    {
        TFocusKeeper Keep(*Form1);
        Saved = SaveTextFile(Name, AddToRecent, Untitled ? TSaveKind::Draft : TSaveKind::Automatic);
    }
    if (!Saved) {
        GFailedFor = Key;
        return false;
    }
    GFailedFor.reset();
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
    GFailedFor.reset();
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
