// The "Speech" window against a recording voice: the calls each control makes and
// their order, what happens without a working engine or audio output, and that
// closing the window stops the speech and frees the voice.
#include "support/RecordingVoice.h"

#include "components/RealSpin.h"
#include "editor/ScrollEditor.h"
#include "tools/SpeechDialog.h"
#include "support/PaneToolHost.h"
#include "tools/TextToolHooks.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace narvo {
namespace {

using Calls = std::vector<std::string>;

class SpeechDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Host.Active = &Pane;
        SetToolHost(&Host);
        SpeechVoiceFactory() = [this] { return std::make_unique<TRecordingVoice>(R); };
    }
    void TearDown() override
    {
        Dlg.reset();
        SpeechVoiceFactory() = CreateSystemVoice;
        SetToolHost(nullptr);
    }
    TPaneToolHost Host;
    // Opens the window and forgets the calls made so far.
    void Open()
    {
        Dlg = std::make_unique<TSpeechDlg>();
        Dlg->ShowSpeechDlg();
        R->Calls.clear();
    }
    void MarkAll(const std::string& Text)
    {
        Pane.SetText(Text);
        Pane.SelectAll();
    }

    std::shared_ptr<TVoiceRecord> R = std::make_shared<TVoiceRecord>();
    TScrollEditor Pane;
    std::unique_ptr<TSpeechDlg> Dlg;
};

TEST_F(SpeechDialogTest, OpensWithTheVoicesAndTheControlsOfTheWindow)
{
    Open();
    EXPECT_EQ(Dlg->windowTitle(), "Speech");
    ASSERT_EQ(Dlg->VoiceList->count(), 2);
    EXPECT_EQ(Dlg->VoiceList->item(1)->text(), "Voice B - de");
    EXPECT_EQ(Dlg->RateSpin->Value(), 0);
    EXPECT_TRUE(Dlg->LineBreaksChk->isChecked());
    EXPECT_EQ(Dlg->LineBreaksChk->text(), "Remove Line Breaks");
    EXPECT_TRUE(Dlg->SpeakBtn->isEnabled());
    EXPECT_EQ(Dlg->SpeakBtn->toolTip(), "Speak Text");
    EXPECT_EQ(Dlg->CancelBtn->text(), "Close");
    EXPECT_FALSE(Dlg->ReasonLabel->isVisibleTo(Dlg.get()));
    EXPECT_TRUE(Dlg->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(Dlg->isModal());
    EXPECT_TRUE(R->Calls.empty());
}

TEST_F(SpeechDialogTest, EachControlMakesItsCallsInOrder)
{
    Open();
    MarkAll("Hello there");
    Dlg->RateSpin->BlockChangeEvent = true;
    Dlg->RateSpin->SetValue(3);
    Dlg->RateSpin->BlockChangeEvent = false;
    Dlg->SpeakBtn->click();
    EXPECT_EQ(R->Calls, (Calls{"rate 3", "resume", "purge", "speak Hello there"}));

    R->Calls.clear();
    Dlg->VoiceList->setCurrentRow(1);
    emit Dlg->VoiceList->itemDoubleClicked(Dlg->VoiceList->item(1));
    EXPECT_EQ(R->Calls, (Calls{"pause", "voice 1", "resume"}));

    R->Calls.clear();
    Dlg->RateSpin->SetValue(-4);
    EXPECT_EQ(R->Calls, (Calls{"pause", "rate -4", "resume"}));

    R->Calls.clear();
    Dlg->PauseBtn->click();
    Dlg->ResumeBtn->click();
    Dlg->StopBtn->click();
    EXPECT_EQ(R->Calls, (Calls{"pause", "resume", "resume", "purge"}));
}

TEST_F(SpeechDialogTest, SpeakSendsTheMarkedTextAndPurgesWhatWasSpeaking)
{
    Open();
    MarkAll("first");
    Dlg->SpeakBtn->click();
    MarkAll("second");
    Dlg->SpeakBtn->click();
    EXPECT_EQ(R->Calls, (Calls{"rate 0", "resume", "purge", "speak first", "rate 0", "resume", "purge", "speak second"}));

    // No marked text: the old speech is purged and nothing is spoken.
    R->Calls.clear();
    Pane.SetText("not marked");
    Dlg->SpeakBtn->click();
    EXPECT_EQ(R->Calls, (Calls{"rate 0", "resume", "purge"}));

    // Line breaks become one blank only while the box is checked; the text goes
    // out as UTF-8 (a Windows-1252 e acute here).
    MarkAll("first line  \nsecond line");
    EXPECT_EQ(Dlg->TextToSpeak(), "first line  second line");
    MarkAll("one\ntwo");
    Dlg->SpeakBtn->click();
    EXPECT_EQ(R->Calls.back(), "speak one two");
    MarkAll("caf\xE9");
    EXPECT_EQ(Dlg->TextToSpeak(), "caf\xC3\xA9");
    Dlg->LineBreaksChk->setChecked(false);
    MarkAll("one\ntwo");
    EXPECT_EQ(Dlg->TextToSpeak(), "one\rtwo");
}

TEST_F(SpeechDialogTest, ClosingStopsTheSpeechAndFreesTheVoiceAndReopeningMakesANewOne)
{
    Open();
    Dlg->VoiceList->setCurrentRow(1);
    emit Dlg->VoiceList->itemDoubleClicked(Dlg->VoiceList->item(1));
    R->Calls.clear();
    Dlg->CancelBtn->click();
    EXPECT_FALSE(Dlg->isVisible());
    EXPECT_EQ(R->Calls, (Calls{"resume", "purge"}));
    EXPECT_EQ(R->Freed, 1);
    EXPECT_EQ(Dlg->Voice(), nullptr);

    // The voice chosen before is chosen again in the new engine.
    R->Calls.clear();
    Dlg->ShowSpeechDlg();
    EXPECT_EQ(R->Made, 2);
    EXPECT_EQ(R->Calls, (Calls{"voice 1"}));

    // Destroying the window (the program's end) stops and frees too.
    R->Calls.clear();
    Dlg.reset();
    EXPECT_EQ(R->Calls, (Calls{"resume", "purge"}));
    EXPECT_EQ(R->Freed, 2);
}

TEST_F(SpeechDialogTest, AnEngineThatCannotStartLeavesTheListEmptyAndTheButtonsOff)
{
    struct Case {
        std::string StartError;
        std::vector<std::string> Voices;
        std::string Shown;
    };
    for (const Case& C : {Case{"The speech engine cannot start: no data", {"x"}, "The speech engine cannot start: no data"},
                          Case{"", {}, "No voices are installed"}}) {
        R->StartError = C.StartError;
        R->VoiceNames = C.Voices;
        Open();
        EXPECT_EQ(Dlg->VoiceList->count(), 0);
        for (QPushButton* B : {Dlg->SpeakBtn, Dlg->PauseBtn, Dlg->ResumeBtn, Dlg->StopBtn})
            EXPECT_FALSE(B->isEnabled());
        EXPECT_TRUE(Dlg->CancelBtn->isEnabled());
        EXPECT_TRUE(Dlg->ReasonLabel->isVisibleTo(Dlg.get()));
        EXPECT_EQ(Dlg->ReasonLabel->text().toStdString(), C.Shown);
        MarkAll("text");
        Dlg->SpeakBtnClick();
        EXPECT_TRUE(R->Calls.empty());
    }
}

TEST_F(SpeechDialogTest, SpeakShowsWhyNothingIsHeard)
{
    R->SpeakError = "No audio output device";
    Open();
    MarkAll("text");
    Dlg->SpeakBtn->click();
    EXPECT_TRUE(Dlg->ReasonLabel->isVisibleTo(Dlg.get()));
    EXPECT_EQ(Dlg->ReasonLabel->text(), "No audio output device");
    EXPECT_EQ(Dlg->VoiceList->count(), 2);
    // A later Speak that works clears it.
    R->SpeakError.clear();
    Dlg->SpeakBtn->click();
    EXPECT_FALSE(Dlg->ReasonLabel->isVisibleTo(Dlg.get()));
}

}  // namespace
}  // namespace narvo
