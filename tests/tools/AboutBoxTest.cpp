// The about box: the version and author lines from a file date and build number,
// and the panel click that shows the Debug menu.
#include "tools/AboutBox.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <ctime>

namespace narvo {
namespace {

std::int64_t LocalNoon(int Year, int Month, int Day)
{
    std::tm T{};
    T.tm_year = Year - 1900;
    T.tm_mon = Month - 1;
    T.tm_mday = Day;
    T.tm_hour = 12;
    T.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&T));
}

TEST(AboutBox, VersionLineFromDateAndBuild)
{
    struct {
        int Y, M, D;
        const char* Build;
        const char* Expected;
    } const Cases[] = {
        {2011, 6, 15, "72", "Version 3.11.6.15.72"},
        {2005, 1, 2, "7", "Version 3.5.1.2.7"},
        {2030, 12, 31, "", "Version 3.30.12.31."},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(AboutVersionLine(LocalNoon(C.Y, C.M, C.D), C.Build), C.Expected);
    const std::string Author = AboutAuthorLine(LocalNoon(2011, 6, 15));
    EXPECT_EQ(Author.substr(Author.size() - 5), " 2011");
}

TEST(AboutBox, ShowsVersionAndIconAndPanelClickShowsDebugMenu)
{
    int Shown = 0;
    TAboutBox Box([&] { ++Shown; });
    EXPECT_TRUE(Box.Version->text().startsWith("Version 3."));
    EXPECT_EQ(Box.ProductName->text(), QStringLiteral("(NRV For Linux)"));
    const QImage Icon = Box.ProgramIcon->pixmap().toImage();
    ASSERT_FALSE(Icon.isNull());
    EXPECT_GT(qAlpha(Icon.pixel(Icon.width() / 2, Icon.height() / 2)), 0);  // drawn, not blank
    QTest::mouseClick(Box.Panel1, Qt::LeftButton);
    EXPECT_EQ(Shown, 1);
}

}  // namespace
}  // namespace narvo
