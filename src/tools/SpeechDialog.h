// The modeless "Speech" tool window: reads the active pane's marked text aloud,
// with a choice of voice and speaking rate, and pauses, resumes and stops it. The
// voice is made when the window is shown and freed when it is closed, so nothing
// keeps speaking once the window is gone. A voice that cannot start leaves the
// voice list empty, the speech buttons disabled and the reason in the window.
#pragma once

#include "platform/VoiceService.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace narvo {

class TRealSpin;

// Makes the voice the window speaks with (the program's own unless a test sets
// another).
using TVoiceFactory = std::function<std::unique_ptr<TVoiceService>()>;
TVoiceFactory& SpeechVoiceFactory();

class TSpeechDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSpeechDlg(QWidget* Parent = nullptr);
    ~TSpeechDlg() override;

    QListWidget* VoiceList = nullptr;
    TRealSpin* RateSpin = nullptr;
    QCheckBox* LineBreaksChk = nullptr;
    QLabel* ReasonLabel = nullptr;  // why the voice cannot speak; hidden while empty
    QPushButton* SpeakBtn = nullptr;
    QPushButton* PauseBtn = nullptr;
    QPushButton* ResumeBtn = nullptr;
    QPushButton* StopBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // The voice while the window is open (nullptr while it is closed).
    TVoiceService* Voice() const { return FVoice.get(); }

    // Makes the voice when there is none, then shows the window.
    void ShowSpeechDlg();
    void SpeakBtnClick();
    void VoiceListDblClick();
    void RateSpinChange();
    void PauseBtnClick();
    void ResumeBtnClick();
    void StopBtnClick();

    // The text Speak reads: the marked text of the active pane as UTF-8, its line
    // breaks flattened when LineBreaksChk is checked.
    std::string TextToSpeak() const;

    void done(int Result) override;

private:
    void StartVoice();
    void FreeVoice();
    void ShowReason(const std::string& Reason);

    std::unique_ptr<TVoiceService> FVoice;
    int FChosenVoice = -1;  // chosen by a double click; chosen again when the voice is remade
};

TSpeechDlg& SpeechDlg();
void ShowSpeechDlg();
void FreeSpeechDlg();

}  // namespace narvo
