// The session's end (see SessionEnd.h). The signals arrive through TEndSignals, so
// everything here runs in the event loop, never in a signal handler. The drafts go
// through the platform's safe write (temporary file, sync, rename) created 0600; the
// note for the next start is a hidden file in the backup folder, which the backup
// browser does not list.
#include "app/SessionEnd.h"

#include "app/AutoSave.h"
#include "app/Documents.h"
#include "app/MacroDialog.h"
#include "app/MainWindow.h"
#include "app/SecondEditor.h"
#include "language/StatusLine.h"
#include "platform/Application.h"
#include "platform/EndSignals.h"
#include "platform/posix/SafeFile.h"
#include "tools/AutoBackup.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSessionManager>
#include <cstdint>
#include <cstdio>
#include <map>
#include <unistd.h>

namespace narvo {

namespace {

QPointer<TEndSignals> GSignals;
QMetaObject::Connection GCommitConnection;
// The change count of each pane whose text the session's end has settled.
std::map<const TScrollEditor*, std::int64_t> GSettled;

constexpr const char* KeptNoteName = ".kept-at-exit";

std::string KeptNotePath() { return BackupFolder() + KeptNoteName; }

void Settle(const TScrollEditor& Pane) { GSettled[&Pane] = Pane.ChangeCount.load(); }

// The panes whose text is their own: the split view shares the main pane's.
std::vector<TScrollEditor*> TextPanes(TForm1& Form) { return {Form.MainEditor, Form.Editor3}; }

void AppendToNote(const std::vector<std::string>& Names)
{
    std::string Note;
    try {
        Note = ReadFileBytes(KeptNotePath());
    } catch (const EFileError&) {
        // No note yet.
    }
    for (const std::string& Name : Names)
        Note += Name + "\n";
    RenameIntoPlace(WriteTempFile(KeptNotePath(), Note, 0600), KeptNotePath());
}

}  // namespace

bool SettledForSessionEnd(const TScrollEditor& Pane)
{
    const auto It = GSettled.find(&Pane);
    return It != GSettled.end() && It->second == Pane.ChangeCount.load();
}

std::vector<std::string> KeepDrafts(TForm1& Form)
{
    std::vector<std::string> Written;
    for (TScrollEditor* Pane : TextPanes(Form)) {
        if (!Pane->Modified || SettledForSessionEnd(*Pane))
            continue;
        try {
            CreateBackupFolder();
            const std::string Name = NewBackupName();
            // The text as it stands: characters a UTF-16 file could not hold and
            // line ends unlike the file's are kept as they are shown.
            RenameIntoPlace(WriteTempFile(Name, Pane->FileBytes(true), 0600), Name);
            Written.push_back(Name);
            Settle(*Pane);
        } catch (const std::exception& E) {
            std::fprintf(stderr, "narvo: a modified text could not be kept: %s\n", E.what());
        }
    }
    if (!Written.empty()) {
        try {
            AppendToNote(Written);
        } catch (const std::exception& E) {
            std::fprintf(stderr, "narvo: %s\n", E.what());
        }
        RefreshAutoBackDlg();
    }
    return Written;
}

void EndSessionNow(TForm1& Form)
{
    RunGuarded([&] { KeepDrafts(Form); });
    RunGuarded([] { SaveCurrentMacros(); });
    Form.CloseForSessionEnd();
}

bool CommitSessionData(TForm1& Form, bool InteractionAllowed)
{
    if (!InteractionAllowed) {
        KeepDrafts(Form);
        return true;
    }
    // As on closing, the secondary file first: answering it leaves the main text as
    // it is whatever follows.
    if (!OfferToSaveSecondary(Form) || !OfferToSaveDocument())
        return false;
    for (TScrollEditor* Pane : TextPanes(Form))
        Settle(*Pane);
    return true;
}

void ReportKeptDrafts()
{
    std::string Note;
    try {
        Note = ReadFileBytes(KeptNotePath());
    } catch (const EFileError&) {
        return;
    }
    ::unlink(KeptNotePath().c_str());
    std::size_t Count = 0;
    for (std::size_t At = 0; (At = Note.find('\n', At)) != std::string::npos; ++At)
        ++Count;
    if (Count == 0)
        return;
    // The count first: a narrow status field still shows it.
    ShowStatusMessage(std::to_string(Count) + (Count == 1 ? " draft" : " drafts") +
                          " kept at exit (File > Advanced File Ops > Auto-backup Files)",
                      false);
}

void StartSessionEnd(TForm1& Form)
{
    StopSessionEnd();
    GSettled.clear();
    QPointer<TForm1> Window(&Form);
    GSignals = new TEndSignals(
        [Window](int) {
            if (Window)
                EndSessionNow(*Window);
        },
        &Form);
    if (auto* App = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        GCommitConnection = QObject::connect(App, &QGuiApplication::commitDataRequest, &Form,
                                             [Window](QSessionManager& Manager) {
                                                 if (!Window)
                                                     return;
                                                 const bool Interaction = Manager.allowsInteraction();
                                                 bool Go = true;
                                                 RunGuarded([&] { Go = CommitSessionData(*Window, Interaction); });
                                                 if (!Go)
                                                     Manager.cancel();
                                                 if (Interaction)
                                                     Manager.release();
                                             });
}

void StopSessionEnd()
{
    QObject::disconnect(GCommitConnection);
    delete GSignals.data();
    GSignals = nullptr;
    GSettled.clear();
}

}  // namespace narvo
