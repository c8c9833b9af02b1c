// The on/off indicator: its display of each state, toggling by mouse.
#include "components/OnOffBox.h"

#include "WidgetTestHelpers.h"
#include "platform/Canvas.h"

#include <QTest>
#include <gtest/gtest.h>

namespace narvo {
namespace {

TEST(OnOffBox, ShowsTheColourAndTextOfItsState)
{
    TOnOffBox box;
    EXPECT_EQ(box.Caption(), "On");
    // Inside the one-pixel bevel the panel is lime.
    EXPECT_EQ(testing::PixelAt(box, 2, 2), qRgb(0, 255, 0));
    // Disabled: silver, and the text of the earlier state.
    box.setEnabled(false);
    box.SetBoxOn(false);
    EXPECT_EQ(box.Color(), clSilver);
    EXPECT_EQ(box.Caption(), "On");
    box.setEnabled(true);
    box.SetBoxOn(false);
    EXPECT_EQ(box.Color(), clRed);
    EXPECT_EQ(box.Caption(), "Off");

    box.SetOnColor(clYellow);
    box.SetOffColor(clBtnFace);
    box.SetOnString("Ovr");
    box.SetOffString("Ins");
    EXPECT_EQ(box.Color(), clBtnFace);
    EXPECT_EQ(box.Caption(), "Ins");
    EXPECT_EQ(testing::PixelAt(box, 2, 2), ToQColor(clBtnFace).rgb());
    box.SetBoxOn(true);
    EXPECT_EQ(box.Color(), clYellow);
    EXPECT_EQ(box.Caption(), "Ovr");
    box.SetBoxOn(false);

    // A text for the other state waits for that state.
    box.SetOnString("Wrp");
    EXPECT_EQ(box.Caption(), "Ins");
    box.SetOffString("-");
    EXPECT_EQ(box.Caption(), "-");
    box.SetBoxOn(true);
    EXPECT_EQ(box.Caption(), "Wrp");
}

struct OnOffMouse : ::testing::Test {
    OnOffMouse()
    {
        host.Add(&box);
        box.OnClick = [this](QObject*) { clickStates.push_back(box.BoxOn()); };
        box.OnMouseDown = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++downs; };
        host.Show();
    }
    testing::Host host;
    TOnOffBox box;
    std::vector<bool> clickStates;
    int downs = 0;
};

TEST_F(OnOffMouse, LeftClickTogglesAndTheClickSeesTheNewState)
{
    QTest::mousePress(&box, Qt::LeftButton, {}, {10, 10});
    EXPECT_FALSE(box.BoxOn());
    EXPECT_TRUE(clickStates.empty()); // the click waits for the release
    QTest::mouseRelease(&box, Qt::LeftButton, {}, {10, 10});
    ASSERT_EQ(clickStates.size(), 1u);
    EXPECT_FALSE(clickStates[0]);
    EXPECT_EQ(box.Color(), clRed);
    QTest::mouseClick(&box, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(box.BoxOn());
    EXPECT_EQ(downs, 2);
}

TEST_F(OnOffMouse, OtherButtonsAndFixedBoxesDoNotToggle)
{
    QTest::mouseClick(&box, Qt::RightButton, {}, {10, 10});
    EXPECT_TRUE(box.BoxOn());
    box.SetUserChangeable(false);
    QTest::mouseClick(&box, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(box.BoxOn());
    EXPECT_EQ(downs, 2);             // the press is still reported
    EXPECT_EQ(clickStates.size(), 1u); // and the left release still clicks
}

} // namespace
} // namespace narvo
