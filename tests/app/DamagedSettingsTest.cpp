// The whole program started offscreen on damaged settings files: huge and negative
// counts, sizes and long strings, and binary garbage must each give a usable window
// promptly (far sooner than a walk over two thousand million entries would take),
// bounded to the screen, with no message too big to show.
#include "AppWindowFixture.h"

#include "tools/ExternalPrograms.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <chrono>

namespace narvo {
namespace {

struct TDamage {
    const char* Name;
    std::string Ini;
};

std::string Garbage()
{
    std::string S;
    std::uint32_t Seed = 7;
    for (int I = 0; I < 65536; ++I) {
        Seed = Seed * 1664525u + 1013904223u;
        S.push_back(static_cast<char>(Seed >> 24));
    }
    return S;
}

const std::string Long(1 << 20, 'x');

class DamagedSettings : public AppWindowFixture, public ::testing::WithParamInterface<TDamage> {};

TEST_P(DamagedSettings, StartTheWindowPromptly)
{
    Form.reset();
    Write("Narvo.ini", GetParam().Ini);
    const auto Start = std::chrono::steady_clock::now();
    InstallProgramModules();
    Form = std::make_unique<TForm1>(std::vector<std::string>{});
    CreateStartupForms();
    Form->show();
    // The first activation (settings, default folder, user tools) is queued by show.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    // A start takes well under a second on a quiet machine; the bound leaves room for
    // a busy one under the sanitizers.
    const auto Elapsed = std::chrono::steady_clock::now() - Start;
    EXPECT_LT(Elapsed, std::chrono::seconds(15));

    // No bigger than the screen's free area, unless the window cannot shrink so far.
    const QRect Area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(Form->width(), std::max(Area.width(), Form->minimumSizeHint().width()));
    EXPECT_LE(Form->height(), std::max(Area.height(), Form->minimumSizeHint().height()));
    EXPECT_GE(Form->width(), 100);
    if (TExternalDlg* Dlg = ExternalDlg()) {
        EXPECT_LE(Dlg->ProgramCount(), 10);
    }
    for (const auto& Q : Boxes.Asked)
        EXPECT_LT(Q.Text.size(), 2000u);
    for (const auto& E : Errors)
        EXPECT_LT(E.size(), 2000u);
    // The window still edits.
    Form->MainEditor->InsertText("ok");
    EXPECT_EQ(Form->MainEditor->GetText(), "ok");

    FreeStartupForms();
    Form.reset();
}

INSTANTIATE_TEST_SUITE_P(
    Startup, DamagedSettings,
    ::testing::Values(
        TDamage{"HugeToolCount", "[Transfer]\nCount=2000000000\nTitle0=a\nPath0=/bin/true\n"},
        TDamage{"NegativeToolCount", "[Transfer]\nCount=-2000000000\n"},
        TDamage{"HugeRecentAndFavoriteCounts", "[FileHistory]\nCount=2147483647\n[Favorites]\nCount=2147483647\n"},
        TDamage{"HugeFormSize", "[Form]\nFormWidth=32767\nFormHeight=32767\n"},
        TDamage{"NegativeFormSize", "[Form]\nFormWidth=-32768\nFormHeight=-1\n"},
        TDamage{"HugeNumbers", "[Screen]\nFontSize=2147483647\nCursorWidth=-5\nSpacesPerTab=999999\n"
                               "[ScreenMargin]\nRightMargin=2147483647\nLeftMargin=-2147483648\n"
                               "[AutoSave]\nInterval=-1\n[Menus]\nRopenLimit=2147483647\n"},
        TDamage{"LongDefaultFolder", "[Directories]\nDefaultFolder=/" + Long + "\nMacroFolder=/" + Long + "\n"},
        TDamage{"LongFontName", "[Screen]\nFontName=" + Long + "\n"},
        TDamage{"LongRecentEntry", "[FileHistory]\nCount=1\nFile0=/" + Long + "\n"},
        TDamage{"BinaryGarbage", Garbage()},
        TDamage{"GarbageAfterSections", "[Transfer]\n" + Garbage() + "\n[Form]\n" + Garbage()}),
    [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace narvo
