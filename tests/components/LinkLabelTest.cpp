// The web link label: opening its hint on a click, and the error when
// no program takes the address. A fake shell backend stands in for the desktop,
// so that no browser starts.
#include "components/LinkLabel.h"

#include "WidgetTestHelpers.h"
#include "support/FakeShell.h"

#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace narvo {
namespace {

TEST(WebLinkLabel, ClickOpensTheHintOrRaisesTheShellText)
{
    test::TFakeShell shell;
    testing::Host host;
    auto* label = host.Add(new TWebLinkLabel);
    label->SetHint("https://narvo.example.org/download");
    label->SetCaption("Downloads");
    label->resize(label->sizeHint());
    host.Show();
    QTest::mouseClick(label, Qt::LeftButton, {}, {3, 3});
    ASSERT_EQ(shell.Opened.size(), 1u);
    EXPECT_EQ(shell.Opened[0], QUrl("https://narvo.example.org/download"));
    QTest::mouseClick(label, Qt::RightButton, {}, {3, 3});
    EXPECT_EQ(shell.Opened.size(), 1u);

    // An address no program takes raises the shell's text.
    shell.CanOpen = false;
    try {
        label->LinkClick(label);
        FAIL() << "no exception";
    } catch (const EShellError& e) {
        EXPECT_EQ(e.Code(), 31);
        EXPECT_STREQ(e.what(), "There is no application associated with the given filename extension.");
    }
    // A sender that is no label opens nothing.
    QObject other;
    EXPECT_NO_THROW(label->LinkClick(&other));
    EXPECT_EQ(shell.Opened.size(), 2u);
}

} // namespace
} // namespace narvo
