// The printing progress box (see PPProgress.h).
#include "tools/PPProgress.h"

#include "platform/TextConvert.h"

#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

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

void ShowProgress(const std::string& Caption)
{
    TProgressDlg& Dlg = ProgressDlg();
    Dlg.setWindowTitle(AnsiToQString(Caption));
    UpdateProgress(0);
    Dlg.show();
    Dlg.ProgressBar1->repaint();
}

void UpdateProgress(int Percent)
{
    TProgressDlg& Dlg = ProgressDlg();
    Dlg.ProgressBar1->setValue(Percent);
    Dlg.ProgressBar1->repaint();
}

void HideProgress()
{
    if (GProgress)
        GProgress->hide();
}

}  // namespace narvo
