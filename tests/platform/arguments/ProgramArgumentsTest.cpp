// The arguments shared out between the real application object and the program:
// it needs an application object made from them, so it is a binary of its own whose
// main makes one in a folder holding a file named "-reverse".
#include "platform/Application.h"
#include "platform/ProgramArguments.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStyle>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace narvo {
namespace {

std::vector<std::string> GivenParams;
const TProgramArguments* GivenArgs = nullptr;
// What the program reported before any test kept a command line: keeping one lasts
// for the rest of the process, also through a repeated run of the tests.
std::vector<std::string> OwnBeforeKept;

TEST(ProgramArguments, AFileNamedLikeAnOptionAndAllAfterTheSeparatorReachTheProgram)
{
    // "-style fusion" went to the toolkit; "-reverse" is a file here, and "--reverse"
    // (the toolkit's spelling of "-reverse" too) came after "--": neither mirrored
    // the layout.
    const std::vector<std::string> Expected = {"-reverse", "/#", "25", "--reverse", "-style", "--"};
    EXPECT_EQ(GivenParams, Expected);
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(QApplication::style()->name().toLower(), "fusion");
}

TEST(ProgramArguments, TheKeptCommandLineHoldsWhatTheToolkitsListLacks)
{
    std::vector<std::string> Toolkit;
    for (const QString& A : QCoreApplication::arguments())
        Toolkit.push_back(A.toStdString());
    ASSERT_EQ(std::count(Toolkit.begin(), Toolkit.end(), "-reverse"), 0) << "the toolkit's list lacks the file";
    // Until the run keeps its own, the toolkit's list stands in.
    EXPECT_EQ(OwnBeforeKept, Toolkit);
    KeepCommandLine(*GivenArgs);
    const TCommandLine Line = ProgramCommandLine();
    ASSERT_FALSE(Line.Own.empty());
    EXPECT_EQ(std::vector<std::string>(Line.Own.begin() + 1, Line.Own.end()), GivenParams);
    EXPECT_EQ(Line.Given, (std::vector<std::string>{Line.Own[0], "-reverse", "-style", "fusion", "/#", "25", "--",
                                                    "--reverse", "-style", "--"}));
}

TEST(ProgramArguments, WithoutAToolkitTheArgumentsAreKeptInOrder)
{
    char Prog[] = "narvo", A[] = "a.txt", Sep[] = "--", B[] = "-b", Opt[] = "-x";
    char* Argv[] = {Prog, Opt, A, Sep, B, nullptr};
    TProgramArguments Args(5, Argv, [](const std::string& Name) { return Name == "a.txt"; });
    EXPECT_EQ(Args.ToolkitArgc(), 2);  // the program's name and "-x"
    EXPECT_STREQ(Args.ToolkitArgv()[1], "-x");
    EXPECT_EQ(Args.ToolkitArgv()[2], nullptr);
    EXPECT_EQ(Args.Params(), (std::vector<std::string>{"-x", "a.txt", "-b"}));
    // What the toolkit takes is gone from the parameters.
    Args.ToolkitArgc() = 1;
    EXPECT_EQ(Args.Params(), (std::vector<std::string>{"a.txt", "-b"}));
}

}  // namespace
}  // namespace narvo

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    char Pattern[] = "/tmp/narvo-args-XXXXXX";
    const std::string Folder = mkdtemp(Pattern);
    const std::string Start = get_current_dir_name();
    if (chdir(Folder.c_str()) != 0)
        return 1;
    std::ofstream("-reverse") << "text\n";
    std::vector<std::string> Given = {argv[0], "-reverse", "-style", "fusion", "/#",   "25",
                                      "--",    "--reverse", "-style", "--"};
    std::vector<char*> Argv;
    for (std::string& S : Given)
        Argv.push_back(S.data());
    Argv.push_back(nullptr);
    narvo::TProgramArguments Args(static_cast<int>(Given.size()), Argv.data());
    narvo::TNarvoApplication App(Args.ToolkitArgc(), Args.ToolkitArgv());
    narvo::GivenParams = Args.Params();
    narvo::GivenArgs = &Args;
    narvo::OwnBeforeKept = narvo::ProgramCommandLine().Own;
    const int Result = RUN_ALL_TESTS();
    if (chdir(Start.c_str()) != 0)
        return 1;
    std::system(("rm -rf '" + Folder + "'").c_str());
    return Result;
}
