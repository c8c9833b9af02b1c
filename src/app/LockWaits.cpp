// The window's side of the folder lock's waits (see LockWaits.h).
#include "app/LockWaits.h"

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "language/StatusLine.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/FolderLock.h"

#include <QCoreApplication>
#include <QLabel>
#include <QThread>
#include <QTimer>

#include <string>
#include <utility>
#include <vector>

namespace narvo {

namespace {

bool OnWindowThread()
{
    const QCoreApplication* App = QCoreApplication::instance();
    return App && QThread::currentThread() == App->thread();
}

std::string HolderText(const TFolderLockWait& Wait)
{
    return Wait.Holder.empty() ? std::string("another program") : Wait.Holder;
}

class TLockWaits : public TFolderLockObserver {
public:
    void Waiting(const TFolderLockWait& Wait) override
    {
        if (!OnWindowThread() || FPumping)
            return;  // a write begun inside the wait's own painting waits without it
        if (!FShown) {
            FShown = true;
            FOldMessage = StatusMessage();
            FOldIsError = StatusMessageIsError();
            BeginWaitCursor(Qt::WaitCursor);
            // The holder first: the status field may show no more than the start.
            ShowStatusMessage("Working: waiting for " + HolderText(Wait) + " to let go of its lock on \"" +
                                  Wait.Folder + "\"",
                              false);
            FSerial = StatusMessageSerial();
            if (Form1 && Form1->StatusDis)
                Form1->ShowStatusText();
        }
        // Painting and the window system's own events only: a key, a click, a timer
        // or a signal could start another write of the same files in the middle of
        // this one.
        FPumping = true;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers |
                                        QEventLoop::X11ExcludeTimers);
        FPumping = false;
    }

    void WaitEnded(const TFolderLockWait&, bool) override
    {
        if (!OnWindowThread() || FPumping || !FShown)
            return;
        FShown = false;
        EndWaitCursor();
        // The message of before comes back unless the wait's own was replaced.
        if (StatusMessageSerial() == FSerial) {
            SetStatusMessage(FOldMessage, FOldIsError);
            if (Form1 && Form1->StatusDis)
                Form1->ShowStatusText();
        }
    }

    void WrittenWithoutLock(const std::string& File, const TFolderLockWait& Wait) override
    {
        if (!OnWindowThread())
            return;
        for (const TNotice& N : FNotices)
            if (N.File == File)
                return;
        FNotices.push_back({File, Wait});
        ShowStatusMessage("Written without the lock on its folder: \"" + File + "\"", true);
        if (!std::exchange(FPosted, true)) {
            // Once the write is over: the files of one save go in one box. A window
            // that closed meanwhile says it as it goes (FormDestroy); at the
            // session's end there is no one to answer a box.
            QTimer::singleShot(0, [this] {
                FPosted = false;
                if (Form1 && Form1->isVisible())
                    ShowNotices();
            });
        }
    }

    void ShowNotices()
    {
        if (FNotices.empty())
            return;
        const std::vector<TNotice> Notices = std::exchange(FNotices, {});
        std::string Files;
        for (const TNotice& N : Notices)
            Files += "\r\n\"" + N.File + "\"";
        const TFolderLockWait& W = Notices.front().Wait;
        MessageDlg("Written without waiting longer for the lock on \"" + W.Folder + "\": " + HolderText(W) +
                       " has held it longer than a write takes (it may be stopped)." + Files +
                       (Notices.size() == 1 ? "\r\nIt holds this window's change. Should that program write it when "
                                              "it goes on, it may write over the change: save it again then."
                                            : "\r\nThey hold this window's change. Should that program write them when "
                                              "it goes on, it may write over the change: save it again then."),
                   mtWarning, mbOK);
    }

private:
    struct TNotice {
        std::string File;
        TFolderLockWait Wait;
    };
    bool FShown = false, FPumping = false, FPosted = false;
    std::string FOldMessage;
    bool FOldIsError = false;
    std::uint64_t FSerial = 0;
    std::vector<TNotice> FNotices;
};

TLockWaits GLockWaits;
bool GInstalled = false;
TFolderLockObserver* GPrevious = nullptr;

}  // namespace

void InstallLockWaits()
{
    if (GInstalled)
        return;
    GInstalled = true;
    GPrevious = SetFolderLockObserver(&GLockWaits);
}

void RemoveLockWaits()
{
    if (!GInstalled)
        return;
    GInstalled = false;
    SetFolderLockObserver(GPrevious);
    GPrevious = nullptr;
}

void ShowLockNotices() { GLockWaits.ShowNotices(); }

}  // namespace narvo
