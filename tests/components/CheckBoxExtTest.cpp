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
    EXPECT_TRUE(box->NoEventChecked());
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

TEST_F(GroupFixture, CaptionIsShownByTheCheckBox)
{
    EXPECT_EQ(group->title(), " ");
    TCheckBoxExt* box = group->CheckBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->objectName(), "InternalCheckBox");
    EXPECT_EQ(box->parentWidget(), group);
    EXPECT_EQ(box->text(), "Auto save");
    EXPECT_EQ(box->pos(), QPoint(8, -2));
    EXPECT_GE(box->width(), QFontMetrics(group->font()).horizontalAdvance("Auto save") + 22);
    EXPECT_FALSE(group->EnableChildren());
    EXPECT_FALSE(group->Checked());
}

TEST_F(GroupFixture, ContentsFollowTheCheckBoxWhenEnableChildren)
{
    group->SetEnableChildren(true);
    auto* edit = new QLineEdit(group); // inserted while unchecked
    auto* button = new QPushButton("Browse", group);
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(group->CheckBox()->isEnabled());

    group->SetChecked(true);
    EXPECT_EQ(checkClicks, 1);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(button->isEnabled());
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

TEST_F(GroupFixture, DisablingTheGroupDisablesItsCheckBox)
{
    group->setEnabled(false);
    EXPECT_FALSE(group->CheckBox()->isEnabled());
    group->setEnabled(true);
    EXPECT_TRUE(group->CheckBox()->isEnabled());
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
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(outerEdit->isEnabled());
    EXPECT_TRUE(inner->isEnabled());
    EXPECT_TRUE(inner->CheckBox()->isEnabled());
    EXPECT_FALSE(innerEdit->isEnabled()); // the inner group is unchecked
    EXPECT_TRUE(plainEdit->isEnabled());
    EXPECT_TRUE(spin->isEnabled());

    inner->SetChecked(true);
    EXPECT_TRUE(innerEdit->isEnabled());
    group->SetChecked(false);
    EXPECT_FALSE(outerEdit->isEnabled());
    EXPECT_FALSE(inner->isEnabled());
    EXPECT_FALSE(innerEdit->isEnabled());
    EXPECT_FALSE(plainEdit->isEnabled());
    EXPECT_FALSE(spin->isEnabled());
    group->SetChecked(true);
    EXPECT_TRUE(innerEdit->isEnabled());
    EXPECT_TRUE(plainEdit->isEnabled());
    EXPECT_TRUE(spin->isEnabled());
    // The spin box's own editor was never touched.
    for (QLineEdit* part : spin->findChildren<QLineEdit*>())
        EXPECT_FALSE(part->testAttribute(Qt::WA_ForceDisabled));
}

} // namespace
} // namespace narvo
