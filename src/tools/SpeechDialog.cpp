// The "Speech" tool window (see SpeechDialog.h).
#include "tools/SpeechDialog.h"

#include "components/RealSpin.h"
#include "editor/ScrollEditor.h"
#include "engine/LineBreakText.h"
#include "shared/CodePage.h"
#include "tools/TextToolHooks.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace narvo {

TVoiceFactory& SpeechVoiceFactory()
{
    static TVoiceFactory Factory = CreateSystemVoice;
    return Factory;
}

TSpeechDlg::TSpeechDlg(QWidget* Parent) : QDialog(Parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName("SpeechDlg");
    setWindowTitle("Speech");
    setModal(false);

    VoiceList = new QListWidget(this);
    VoiceList->setObjectName("VoiceList");
    VoiceList->setMinimumSize(300, 160);
    RateSpin = new TRealSpin(this);
    RateSpin->setObjectName("RateSpin");
    RateSpin->BlockChangeEvent = true;
    RateSpin->UseLimit = true;
    RateSpin->SetMinValue(-10);
    RateSpin->SetMaxValue(10);
    RateSpin->Increment = 1;
    RateSpin->SetValue(0);
    RateSpin->BlockChangeEvent = false;
    LineBreaksChk = new QCheckBox("Remove Line Breaks", this);
    LineBreaksChk->setObjectName("LineBreaksChk");
    LineBreaksChk->setChecked(true);
    ReasonLabel = new QLabel(this);
    ReasonLabel->setObjectName("ReasonLabel");
    ReasonLabel->hide();

    auto Button = [this](const char* Name, const char* Caption, const char* Hint) {
        auto* B = new QPushButton(Caption, this);
        B->setObjectName(Name);
        if (Hint)
            B->setToolTip(Hint);
        B->setAutoDefault(false);
        return B;
    };
    SpeakBtn = Button("SpeakBtn", "Speak", "Speak Text");
    PauseBtn = Button("PauseBtn", "Pause", "Pause Speech");
    ResumeBtn = Button("ResumeBtn", "Resume", "Resume Speech");
    StopBtn = Button("StopBtn", "Stop", "Stop Speech");
    CancelBtn = Button("CancelBtn", "Close", nullptr);

    auto* Left = new QVBoxLayout;
    Left->addWidget(new QLabel("Voices - double click to select", this));
    Left->addWidget(VoiceList, 1);
    auto* RateRow = new QHBoxLayout;
    auto* RateBox = new QVBoxLayout;
    RateBox->addWidget(new QLabel("Rate (-10 - +10)", this));
    RateBox->addWidget(RateSpin);
    RateRow->addLayout(RateBox);
    RateRow->addStretch(1);
    RateRow->addWidget(LineBreaksChk, 0, Qt::AlignBottom);
    Left->addLayout(RateRow);
    Left->addWidget(ReasonLabel);
    auto* Right = new QVBoxLayout;
    for (QPushButton* B : {SpeakBtn, PauseBtn, ResumeBtn, StopBtn, CancelBtn})
        Right->addWidget(B);
    Right->addStretch(1);
    auto* Main = new QHBoxLayout(this);
    Main->addLayout(Left, 1);
    Main->addLayout(Right);

    connect(SpeakBtn, &QPushButton::clicked, this, [this] { SpeakBtnClick(); });
    connect(PauseBtn, &QPushButton::clicked, this, [this] { PauseBtnClick(); });
    connect(ResumeBtn, &QPushButton::clicked, this, [this] { ResumeBtnClick(); });
    connect(StopBtn, &QPushButton::clicked, this, [this] { StopBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(VoiceList, &QListWidget::itemDoubleClicked, this, [this] { VoiceListDblClick(); });
    RateSpin->OnChange = [this](QObject*) { RateSpinChange(); };
}

TSpeechDlg::~TSpeechDlg() { FreeVoice(); }

void TSpeechDlg::ShowReason(const std::string& Reason)
{
    ReasonLabel->setText(QString::fromStdString(Reason));
    ReasonLabel->setVisible(!Reason.empty());
}

void TSpeechDlg::StartVoice()
{
    if (FVoice)
        return;
    const TVoiceFactory& Factory = SpeechVoiceFactory();
    FVoice = Factory ? Factory() : nullptr;
    VoiceList->clear();
    std::string Reason = FVoice ? FVoice->StartError() : "No speech engine";
    std::vector<std::string> Names;
    if (Reason.empty()) {
        Names = FVoice->Voices();
        if (Names.empty())
            Reason = "No voices are installed";
    }
    for (const std::string& Name : Names)
        VoiceList->addItem(QString::fromStdString(Name));
    const bool CanSpeak = Reason.empty();
    for (QPushButton* B : {SpeakBtn, PauseBtn, ResumeBtn, StopBtn})
        B->setEnabled(CanSpeak);
    ShowReason(Reason);
    if (CanSpeak && FChosenVoice >= 0 && FChosenVoice < static_cast<int>(Names.size())) {
        VoiceList->setCurrentRow(FChosenVoice);
        FVoice->ChooseVoice(FChosenVoice);
    }
}

// Stops the speech (a paused voice released, its queue dropped) and frees the voice.
void TSpeechDlg::FreeVoice()
{
    if (!FVoice)
        return;
    StopBtnClick();
    FVoice.reset();
}

void TSpeechDlg::ShowSpeechDlg()
{
    StartVoice();
    show();
    raise();
    activateWindow();
}

std::string TSpeechDlg::TextToSpeak() const
{
    TScrollEditor* Pane = ToolActiveEditor();
    if (!Pane)
        return {};
    std::string Text = Pane->GetMarkedText();
    if (LineBreaksChk->isChecked())
        Text = FlattenLineBreaks(Text);
    return BytesToUtf8(Pane->FontCharset(), Text);
}

void TSpeechDlg::SpeakBtnClick()
{
    if (!FVoice || !SpeakBtn->isEnabled())
        return;
    const std::string Text = TextToSpeak();
    FVoice->SetRate(RateSpin->ApplyLimits(RateSpin->Value()));
    FVoice->Resume();
    FVoice->Purge();
    // No marked text: the purge above is all.
    ShowReason(Text.empty() ? std::string() : FVoice->SpeakAsync(Text));
}

void TSpeechDlg::VoiceListDblClick()
{
    const int I = VoiceList->currentRow();
    if (!FVoice || I < 0)
        return;
    FVoice->Pause();
    FVoice->ChooseVoice(I);
    FVoice->Resume();
    FChosenVoice = I;
}

void TSpeechDlg::RateSpinChange()
{
    if (!FVoice)
        return;
    FVoice->Pause();
    FVoice->SetRate(RateSpin->ApplyLimits(RateSpin->Value()));
    FVoice->Resume();
}

void TSpeechDlg::PauseBtnClick()
{
    if (FVoice)
        FVoice->Pause();
}

void TSpeechDlg::ResumeBtnClick()
{
    if (FVoice)
        FVoice->Resume();
}

void TSpeechDlg::StopBtnClick()
{
    if (!FVoice)
        return;
    FVoice->Resume();
    FVoice->Purge();
}

// Close, Escape and the window's close box all end here.
void TSpeechDlg::done(int Result)
{
    FreeVoice();
    QDialog::done(Result);
}

namespace {
QPointer<TSpeechDlg> GSpeechDlg;
}

TSpeechDlg& SpeechDlg()
{
    if (!GSpeechDlg)
        GSpeechDlg = new TSpeechDlg(ToolMainWindow());
    return *GSpeechDlg;
}

void ShowSpeechDlg() { SpeechDlg().ShowSpeechDlg(); }

void FreeSpeechDlg() { delete GSpeechDlg.data(); }

}  // namespace narvo
