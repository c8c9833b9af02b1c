// The small modeless box with one progress bar shown while pages are printed.
#pragma once

#include <QDialog>
#include <string>

class QProgressBar;

namespace narvo {

class TProgressDlg : public QDialog {
    Q_OBJECT
public:
    explicit TProgressDlg(QWidget* Parent = nullptr);
    QProgressBar* ProgressBar1;
};

// The run's progress box (made on first use).
TProgressDlg& ProgressDlg();
// Caption, bar at 0, shown modelessly and painted at once.
void ShowProgress(const std::string& Caption);
// The bar at Percent, painted at once; the progress callback of printing.
void UpdateProgress(int Percent);
// Hides the box when it exists.
void HideProgress();

}  // namespace narvo
