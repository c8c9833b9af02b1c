// A screenshot of a real editor window, for a person to look at: runs only when
// NARVO_EDITOR_SCREENSHOT names the PNG file to write (under Xvfb:
// QT_QPA_PLATFORM=xcb xvfb-run -a narvo_editor_tests --gtest_filter=EditorScreenshot.*).
#include "EditorTestHelpers.h"

#include "shared/SystemData.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace narvo {
namespace {

TEST(EditorScreenshot, RealWindowWithTabsGutterAndLineNumbers)
{
    const QByteArray Path = qgetenv("NARVO_EDITOR_SCREENSHOT");
    if (Path.isEmpty())
        GTEST_SKIP() << "NARVO_EDITOR_SCREENSHOT not set";
    const TSeparatorGuard Guard;
    SystemData.SetThousandSeparator(',');
    std::vector<std::string> Lines;
    for (int I = 0; I < 1200; ++I)
        Lines.push_back(std::string("line ").append(std::to_string(I + 1)));
    const std::vector<std::string> Sample = {
        "int\tmain()\t// a tab after main", "{", "\treturn 0;\t\t// two tabs", "}",
        "control: \x01\x02 bell \x07 end", "col:\t8\t16\t24\t32", "12345678901234567890123456789012345"};
    std::copy(Sample.begin(), Sample.end(), Lines.begin() + 995);
    TScrollEditor E;
    E.setWindowTitle(QStringLiteral("Narvo editor"));
    E.resize(640, 400);
    E.SetStrings(Lines);
    E.SetLineNumbers(true);
    E.SetShadowLine(true);
    E.Cursor->SetPos(TPoint{5, 997});
    E.HighLight->StartPos = TPoint{4, 995};
    E.HighLight->EndPos = TPoint{8, 995};
    E.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&E));
    E.activateWindow();
    E.setFocus();
    E.ScrollToLine(990);
    E.RefreshView(false);
    QTest::qWait(300);
    const QPixmap Shot = QGuiApplication::primaryScreen()->grabWindow(E.winId());
    ASSERT_FALSE(Shot.isNull());
    ASSERT_TRUE(Shot.save(QString::fromLocal8Bit(Path)));
}

}  // namespace
}  // namespace narvo
