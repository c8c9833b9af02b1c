// The print preview's wiring: the menu entries and L reach the preview, and the
// margins travel between the settings and the form.
#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/MainWindowHost.h"
#include "app/Printing.h"
#include "app/Settings.h"
#include "tools/PPMain.h"

#include <gtest/gtest.h>

namespace narvo {
namespace {

TEST(Printing, PrintingTheLastPreviewNeedsOne)
{
    // L before any preview prints nothing and asks nothing. The preview lives for the
    // rest of the process once made: one that an earlier test paginated goes first.
    delete PreForm();
    ASSERT_EQ(PreForm(), nullptr);
    ProgramHost().PrintText();
    CreatePrintForms();
    ASSERT_NE(PreForm(), nullptr);
    bool Asked = false;
    PreForm()->AskPrint = [&] { return Asked = true, false; };
    ProgramHost().PrintText();  // nothing paginated yet
    EXPECT_FALSE(Asked);
    PreForm()->Prepare(QFont(), "a\nb", TPrintMarginValues{1, 0.5, 0.25, 2});
    ProgramHost().PrintText();
    EXPECT_TRUE(Asked);
}

}  // namespace
}  // namespace narvo
