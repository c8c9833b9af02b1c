// The help bridge: map lookups (context, keyword, missing), the window showing the
// right page or a clear message, unsafe page names, ".hlp" refused, the application
// help commands, and the shipped help folder's map pointing at pages that exist.
#include "components/ChmHelper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace narvo {
namespace {

void WriteFile(const std::string& Path, const std::string& Text) { std::ofstream(Path) << Text; }

class HelpBridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Temp.isValid());
        Folder = Temp.path().toStdString() + "/help";
        QDir().mkpath(QString::fromStdString(Folder));
        WriteFile(Folder + "/map.ini",
                  "[Pages]\nContents=/contents.html\nUsingHelp=using.html\n"
                  "[Contexts]\n1=keys.html\n7=dialogs.html#case\n8=gone.html\n9=../escape.html\nx=keys.html\n"
                  "[Keywords]\nCommand Table=commands.html#table\nkeys=keys.html\n");
        for (const char* Page : {"contents.html", "using.html", "keys.html", "commands.html", "dialogs.html"})
            WriteFile(Folder + "/" + Page, std::string("<html><body><h1>") + Page +
                                               "</h1><p><a name=\"case\"></a><a name=\"table\"></a>x</p></body></html>");
        WriteFile(Temp.path().toStdString() + "/escape.html", "<html>outside</html>");
        Help.HelpFile = Folder;
    }

    std::string Shown() const { return Help.Window() ? Help.Window()->CurrentFile() : std::string("(no window)"); }
    std::string Page(const char* Name) const { return Folder + "/" + Name; }

    QTemporaryDir Temp;
    std::string Folder;
    TCHMHelper Help;
};

TEST_F(HelpBridge, MapLookups)
{
    THelpMap Map;
    std::string Error;
    ASSERT_TRUE(Map.Load(Folder, Error)) << Error;
    EXPECT_EQ(Map.ContextPage(7), "dialogs.html#case");
    EXPECT_EQ(Map.ContextPage(2), "");
    EXPECT_EQ(Map.Contexts().size(), 4u);  // "x" is no context number
    EXPECT_EQ(Map.KeywordPage("  KEYS "), "keys.html");
    EXPECT_EQ(Map.KeywordPage("nothing"), "");
    ASSERT_EQ(Map.Keywords().size(), 2u);
    EXPECT_EQ(Map.Keywords()[0].first, "Command Table");  // sorted without case

    EXPECT_FALSE(Map.Load(Folder + "/none", Error));
    EXPECT_NE(Error.find("help folder"), std::string::npos);
    EXPECT_FALSE(Map.Load(Temp.path().toStdString(), Error));
    EXPECT_NE(Error.find("map.ini"), std::string::npos);
}

TEST_F(HelpBridge, RequestsOpenTheirPages)
{
    struct Case {
        const char* What;
        std::function<bool(TCHMHelper&)> Request;
        const char* File;
        const char* Anchor;
    };
    const Case Cases[] = {
        {"contents", [](TCHMHelper& H) { return H.ShowTableOfContents(); }, "contents.html", ""},
        {"context", [](TCHMHelper& H) { return H.ShowContextHelp(1); }, "keys.html", ""},
        {"context anchor", [](TCHMHelper& H) { return H.ShowContextHelp(7); }, "dialogs.html", "case"},
        {"keyword", [](TCHMHelper& H) { return H.ShowHelp("COMMAND TABLE"); }, "commands.html", "table"},
        {"topic with slash", [](TCHMHelper& H) { return H.DisplayTopic("/keys.html"); }, "keys.html", ""},
        {"topic without", [](TCHMHelper& H) { return H.DisplayTopic("keys.html"); }, "keys.html", ""},
        {"empty topic", [](TCHMHelper& H) { return H.DisplayTopic(""); }, "contents.html", ""},
        {"using help", [](TCHMHelper& H) { return H.HelpOnHelp(); }, "using.html", ""},
    };
    for (const Case& C : Cases) {
        // Each request follows a message page, so a page shown again is really reloaded.
        Help.ShowContextHelp(99);
        ASSERT_TRUE(C.Request(Help)) << C.What << ": " << Help.LastError();
        EXPECT_EQ(Shown(), Page(C.File)) << C.What;
        EXPECT_EQ(Help.Window()->CurrentAnchor(), C.Anchor) << C.What;
        EXPECT_NE(Help.Window()->ShownText().find(C.File), std::string::npos) << C.What;
        EXPECT_TRUE(Help.Window()->isVisible()) << C.What;
    }
}

TEST_F(HelpBridge, FailuresExplainThemselvesInTheWindow)
{
    struct Case {
        const char* What;
        std::function<bool(TCHMHelper&)> Request;
        const char* Message;
    };
    const Case Cases[] = {
        {"unknown context", [](TCHMHelper& H) { return H.ShowContextHelp(42); }, "No help topic for context number 42."},
        {"missing page", [](TCHMHelper& H) { return H.ShowContextHelp(8); }, "The help page \"gone.html\" was not found"},
        {"climbing out", [](TCHMHelper& H) { return H.ShowContextHelp(9); }, "is not valid"},
        {"absolute topic", [](TCHMHelper& H) { return H.DisplayTopic("//etc/passwd"); }, "was not found in the help folder"},
        {"unknown keyword", [](TCHMHelper& H) { return H.ShowHelp("zebra"); }, "No help topic for \"zebra\"."},
    };
    for (const Case& C : Cases) {
        EXPECT_FALSE(C.Request(Help)) << C.What;
        EXPECT_NE(Help.LastError().find(C.Message), std::string::npos) << C.What << ": " << Help.LastError();
        EXPECT_NE(Help.Window()->ShownText().find(C.Message), std::string::npos) << C.What;
        EXPECT_EQ(Shown(), "") << C.What;
    }
    // The unknown keyword leaves the index on view, with its keywords.
    EXPECT_NE(Help.Window()->ShownText().find("Command Table"), std::string::npos);
}

TEST_F(HelpBridge, MissingPagesFoldersAndOldHelpFiles)
{
    ASSERT_TRUE(Help.DisplayTopic("keys.html"));
    Help.Window()->Browser->setSource(QUrl(QStringLiteral("nothere.html")));  // a link to a missing page
    EXPECT_NE(Help.Window()->ShownText().find("was not found"), std::string::npos);
    EXPECT_EQ(Help.Window()->CurrentFile(), "");

    Help.HelpFile = Folder + "/nowhere";
    EXPECT_FALSE(Help.ShowTableOfContents());
    EXPECT_NE(Help.Window()->ShownText().find("was not found"), std::string::npos);
    EXPECT_FALSE(Help.DisplayTopic("keys.html"));

    Help.HelpFile = "/opt/x/NARVO.HLP";
    EXPECT_EQ(Help.HelpFolder(), "");
    EXPECT_FALSE(Help.ShowContextHelp(1));
    EXPECT_NE(Help.LastError().find("\".hlp\" format are not supported"), std::string::npos);

    // A ".chm" name stands for the "help" folder beside it.
    Help.HelpFile = Temp.path().toStdString() + "/NARVO.chm";
    EXPECT_EQ(Help.HelpFolder(), Folder);
    EXPECT_TRUE(Help.ShowContextHelp(1));
}

TEST_F(HelpBridge, ApplicationHelpCommands)
{
    ASSERT_EQ(ApplicationHelper(), &Help);
    bool CallHelp = true;
    EXPECT_TRUE(Help.ApplicationHelp(HELP_CONTEXT, 7, CallHelp));
    EXPECT_FALSE(CallHelp);
    EXPECT_EQ(Shown(), Page("dialogs.html"));
    EXPECT_TRUE(HelpCommand(HELP_CONTENTS, 0));
    EXPECT_EQ(Shown(), Page("contents.html"));
    EXPECT_TRUE(HelpContext(1));
    EXPECT_EQ(Shown(), Page("keys.html"));
    EXPECT_TRUE(HelpCommand(HELP_KEY, 0));  // the index
    EXPECT_NE(Help.Window()->ShownText().find("Index"), std::string::npos);
    EXPECT_FALSE(HelpContext(55));
    EXPECT_TRUE(HelpCommand(HELP_QUIT, 0));
    EXPECT_FALSE(Help.Window()->isVisible());

    // The newest bridge handles the application's help until it goes.
    {
        TCHMHelper Other;
        EXPECT_EQ(ApplicationHelper(), &Other);
    }
    EXPECT_EQ(ApplicationHelper(), nullptr);
    EXPECT_FALSE(HelpContext(1));
}

// The help that ships: every page the map names exists, and every context number
// the program's Help buttons use is mapped.
TEST(ShippedHelp, MapPointsAtExistingPages)
{
    const char* Source = std::getenv("NARVO_SOURCE_DIR");
    ASSERT_NE(Source, nullptr);
    const std::string Folder = std::string(Source) + "/resources/help";
    THelpMap Map;
    std::string Error;
    ASSERT_TRUE(Map.Load(Folder, Error)) << Error;
    std::vector<std::string> Entries = {Map.ContentsPage(), Map.UsingHelpPage()};
    for (const auto& [Number, Page] : Map.Contexts())
        Entries.push_back(Page);
    for (const auto& [Keyword, Page] : Map.Keywords())
        Entries.push_back(Page);
    for (const std::string& Entry : Entries) {
        const std::string File = Entry.substr(0, Entry.find('#'));
        ASSERT_FALSE(File.empty());
        EXPECT_TRUE(QFileInfo(QString::fromStdString(Folder + "/" + File)).isFile()) << Entry;
        if (Entry.find('#') != std::string::npos) {
            QFile F(QString::fromStdString(Folder + "/" + File));
            ASSERT_TRUE(F.open(QIODevice::ReadOnly));
            const std::string Anchor = "name=\"" + Entry.substr(Entry.find('#') + 1) + "\"";
            EXPECT_NE(F.readAll().toStdString().find(Anchor), std::string::npos) << Entry;
        }
    }
    for (int Context : {1, 3, 4, 5, 6, 7, 8, 9, 11, 12, 14, 15, 16})
        EXPECT_NE(Map.ContextPage(Context), "") << Context;
}

}  // namespace
}  // namespace narvo
