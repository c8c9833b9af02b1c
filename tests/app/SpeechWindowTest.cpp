// Tools > Speech... in the real main window: the window opens with the voice's
// list, Speak reads the active pane's marked text, and closing the window or
// freeing the forms at exit stops the speech and frees the voice.
#include "app/ToolHost.h"
#include "AppWindowFixture.h"
#include "editor/ScrollEditor.h"
#include "support/RecordingVoice.h"
#include "tools/SpeechDialog.h"
#include "tools/TextToolHooks.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>

namespace narvo {
namespace {

class SpeechWindowTest : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        InstallTextTools();
        SpeechVoiceFactory() = [this] { return std::make_unique<TRecordingVoice>(R); };
    }
    void TearDown() override
    {
        FreeSpeechDlg();
        SpeechVoiceFactory() = CreateSystemVoice;
        SetToolHost(nullptr);
        AppWindowFixture::TearDown();
    }
    std::shared_ptr<TVoiceRecord> R = std::make_shared<TVoiceRecord>();
};

TEST_F(SpeechWindowTest, TheMenuEntryOpensTheWindowThatSpeaksTheActivePanesMarkedText)
{
    QAction* Entry = Form->findChild<QAction*>("Speech1");
    ASSERT_NE(Entry, nullptr);
    EXPECT_EQ(Entry->text(), "Speech...");
    Entry->trigger();
    TSpeechDlg& Dlg = SpeechDlg();
    EXPECT_TRUE(Dlg.isVisible());
    EXPECT_EQ(Dlg.parentWidget(), Form.get());
    EXPECT_EQ(Dlg.VoiceList->count(), 2);

    TScrollEditor& Pane = *Form->ActiveEditor;
    Pane.SetText("read\nthis");
    Pane.SelectAll();
    Dlg.SpeakBtn->click();
    EXPECT_EQ(R->Calls, (std::vector<std::string>{"rate 0", "resume", "purge", "speak read this"}));

    // Closed: stopped and freed; the menu opens it again with a new voice.
    R->Calls.clear();
    Dlg.CancelBtn->click();
    EXPECT_EQ(R->Calls, (std::vector<std::string>{"resume", "purge"}));
    EXPECT_EQ(R->Freed, 1);
    Entry->trigger();
    EXPECT_EQ(R->Made, 2);

    // The program's end frees the forms: the speech stops and the voice goes.
    R->Calls.clear();
    FreeSpeechDlg();
    EXPECT_EQ(R->Calls, (std::vector<std::string>{"resume", "purge"}));
    EXPECT_EQ(R->Freed, 2);
}

}  // namespace
}  // namespace narvo
