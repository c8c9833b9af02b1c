// The silent check box and the checked group: which changes fire the click, and
// how the group's state enables its contents, nested groups included.
#include "components/CheckBoxExt.h"

#include "WidgetTestHelpers.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace narvo {
namespace {

TEST(CheckBoxExt, OnlyNoEventCheckedChangesTheStateSilently)
{
    testing::Host host;
    auto* box = host.Add(new TCheckBoxExt);
    box->setText("Auto save");
    box->resize(box->sizeHint());
    int clicks = 0;
    box->OnClick = [&](QObject* Sender) {
        EXPECT_EQ(Sender, box);
        ++clicks;
    };
    host.Show();

    box->SetNoEventChecked(true);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 0);
    box->SetChecked(true); // no change, no click
    EXPECT_EQ(clicks, 0);
    box->SetChecked(false);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(box, Qt::LeftButton, {}, {8, box->height() / 2});
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 2);
    box->SetNoEventChecked(false);
    EXPECT_EQ(clicks, 2);
    box->SetChecked(true); // clicks are back on after a silent change
    EXPECT_EQ(clicks, 3);
}

struct GroupFixture : ::testing::Test {
    GroupFixture()
    {
        group = host.Add(new TCheckedGroup);
        group->resize(300, 150);
        group->SetCaption("Auto save");
        group->OnCheckClick = [this](QObject* Sender) {
            EXPECT_EQ(Sender, group);
            ++checkClicks;
        };
    }
    testing::Host host;
    TCheckedGroup* group = nullptr;
    int checkClicks = 0;
};

TEST_F(GroupFixture, ContentsFollowTheCheckBoxWhenEnableChildren)
{
    group->SetEnableChildren(true);
    auto* edit = new QLineEdit(group); // inserted while unchecked
    auto* button = new QPushButton("Browse", group);
    EXPECT_FALSE(edit->isEnabled() || button->isEnabled());
    EXPECT_TRUE(group->CheckBox()->isEnabled());

    group->SetChecked(true);
    EXPECT_EQ(checkClicks, 1);
    EXPECT_TRUE(edit->isEnabled() && button->isEnabled());
    auto* late = new QLineEdit(group); // inserted while checked
    EXPECT_TRUE(late->isEnabled());

    group->SetNoEventChecked(false);
    EXPECT_EQ(checkClicks, 1);
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(late->isEnabled());

    host.Show();
    QTest::mouseClick(group->CheckBox(), Qt::LeftButton, {}, {8, group->CheckBox()->height() / 2});
    EXPECT_TRUE(group->Checked());
    EXPECT_EQ(checkClicks, 2);
    EXPECT_TRUE(edit->isEnabled());
}

TEST_F(GroupFixture, WithoutEnableChildrenTheContentsAreLeftAlone)
{
    auto* edit = new QLineEdit(group);
    EXPECT_TRUE(edit->isEnabled());
    group->SetChecked(true);
    group->SetChecked(false);
    EXPECT_EQ(checkClicks, 2);
    EXPECT_TRUE(edit->isEnabled());
    // Disabling the group disables its check box too.
    group->setEnabled(false);
    EXPECT_FALSE(group->CheckBox()->isEnabled());
    group->setEnabled(true);
    EXPECT_TRUE(group->CheckBox()->isEnabled());
}

TEST_F(GroupFixture, LoadingSetsTheStateSilently)
{
    group->SetEnableChildren(true);
    auto* edit = new QLineEdit(group);
    group->BeginLoad();
    group->SetChecked(true);
    EXPECT_EQ(checkClicks, 0);
    EXPECT_TRUE(group->Checked());
    group->Loaded();
    EXPECT_FALSE(group->Loading());
    EXPECT_TRUE(edit->isEnabled());
    group->SetChecked(false);
    EXPECT_EQ(checkClicks, 1);
    EXPECT_FALSE(edit->isEnabled());
}

TEST_F(GroupFixture, NestedGroupsKeepTheirOwnState)
{
    group->SetEnableChildren(true);
    auto* panel = new QWidget(group);
    auto* outerEdit = new QLineEdit(panel);
    auto* inner = new TCheckedGroup(panel);
    inner->SetEnableChildren(true);
    auto* innerEdit = new QLineEdit(inner);
    auto* plain = new TCheckedGroup(panel); // its check box governs nothing
    auto* plainEdit = new QLineEdit(plain);
    auto* spin = new QSpinBox(panel);

    group->SetChecked(true);
    EXPECT_TRUE(outerEdit->isEnabled() && inner->CheckBox()->isEnabled() && plainEdit->isEnabled());
    EXPECT_FALSE(innerEdit->isEnabled()); // the inner group is unchecked

    inner->SetChecked(true);
    EXPECT_TRUE(innerEdit->isEnabled());
    group->SetChecked(false);
    EXPECT_FALSE(outerEdit->isEnabled() || inner->isEnabled() || plainEdit->isEnabled() || spin->isEnabled());
    group->SetChecked(true);
    EXPECT_TRUE(innerEdit->isEnabled() && plainEdit->isEnabled() && spin->isEnabled());
    // The spin box's own editor was never touched.
    for (QLineEdit* part : spin->findChildren<QLineEdit*>())
        EXPECT_FALSE(part->testAttribute(Qt::WA_ForceDisabled));
}

} // namespace
} // namespace narvo
