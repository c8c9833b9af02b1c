// The printing progress box (see PPProgress.h).
#include "tools/PPProgress.h"

#include "platform/Canvas.h"
#include "platform/TextConvert.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace narvo {

TProgressDlg::TProgressDlg(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ProgressBar1(new QProgressBar(this))
{
    setWindowTitle("Resizing Image");
    setObjectName("ProgressDlg");
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(ProgressBar1);
    resize(171, 35);
}

namespace {
QPointer<TProgressDlg> GProgress;
}

TProgressDlg& ProgressDlg()
{
    if (!GProgress)
        GProgress = new TProgressDlg;
    return *GProgress;
}

namespace {

// Printing runs without returning to the event loop. The box's own window events
// (mapping, exposure, painting) are let through; the user's input is not, so
// nothing can change the text or the ticks while pages go out.
void LetPaintThrough() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace

void ShowProgress(const std::string& Caption)
{
    TProgressDlg& Dlg = ProgressDlg();
    Dlg.setWindowTitle(AnsiToQString(Caption));
    Dlg.ProgressBar1->setValue(0);
    // The box belongs to the window printing (the modal preview): without that the
    // window manager may stack it under that window, out of sight.
    QWidget* Owner = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    if (Owner && Owner->window() != &Dlg) {
        Dlg.winId();
        if (QWindow* Handle = Dlg.windowHandle())
            Handle->setTransientParent(Owner->window()->windowHandle());
    }
    if (!Dlg.isVisible())
        CenterFormInWorkArea(&Dlg);
    Dlg.show();
    Dlg.raise();
    // A window paints only once it is mapped: wait for that (a window manager may
    // take a moment), but never for long.
    QDeadlineTimer Deadline(2000);
    LetPaintThrough();
    while (Dlg.windowHandle() && !Dlg.windowHandle()->isExposed() && !Deadline.hasExpired()) {
        QEventLoop Wait;
        QTimer::singleShot(20, &Wait, &QEventLoop::quit);
        Wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    UpdateProgress(0);
}

void UpdateProgress(int Percent)
{
    TProgressDlg& Dlg = ProgressDlg();
    Dlg.ProgressBar1->setValue(Percent);
    Dlg.ProgressBar1->repaint();
    LetPaintThrough();
}

void HideProgress()
{
    if (GProgress)
        GProgress->hide();
}

}  // namespace narvo
