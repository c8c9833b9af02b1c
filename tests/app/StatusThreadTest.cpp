// The main window's status polling thread: "At:" and "Size:" follow the main pane
// through the event loop, a text being replaced is shown once the change is over,
// and closing the window stops the thread without waiting for its sleep.
#include "PanesFixture.h"

namespace narvo {
namespace {

using StatusThreadWindow = PanesFixture;

TEST_F(StatusThreadWindow, AtAndSizeFollowTheMainPane)
{
    ASSERT_NE(StatusThread(), nullptr);
    EXPECT_EQ(StatusThread()->Priority(), TThreadPriority::tpLowest);
    ASSERT_TRUE(Pump([&] { return Text(Form->SizeDis) == "0" && Text(Form->LocationDis) == "0"; }))
        << Text(Form->SizeDis) << " / " << Text(Form->LocationDis);

    Main().SetText("abc\ndef");
    ASSERT_TRUE(Pump([&] { return Text(Form->SizeDis) == "8"; })) << Text(Form->SizeDis);
    Main().GotoPos(TPoint{1, 1});
    ASSERT_TRUE(Pump([&] { return Text(Form->LocationDis) == "6"; })) << Text(Form->LocationDis);

    // Typing in the split view is typing in the main text.
    Form->Editor2->TypeChar('x');
    ASSERT_TRUE(Pump([&] { return Text(Form->SizeDis) == "9" && Text(Form->LocationDis) == "7"; }))
        << Text(Form->SizeDis) << " / " << Text(Form->LocationDis);

    // The third pane is not polled.
    Form->Editor3->SetText(std::string(5000, 'z'));
    Pump([] { return false; }, 150);
    EXPECT_EQ(Text(Form->SizeDis), "9");
}

TEST_F(StatusThreadWindow, LargeNumbersCarryThousandsSeparatorsAndClosingIsPrompt)
{
    Main().SetText(std::string(12345, 'a'));
    ASSERT_TRUE(Pump([&] { return Text(Form->SizeDis) == FormatWhole(12345); })) << Text(Form->SizeDis);
    const auto Start = std::chrono::steady_clock::now();
    Form.reset();
    EXPECT_EQ(StatusThread(), nullptr);
    // Closing does not wait for a poll that never ends; a busy machine may take
    // seconds to tear the window down.
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(10));
}

}  // namespace
}  // namespace narvo
