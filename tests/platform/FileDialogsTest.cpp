// The real file dialog with names that are not UTF-8: it shows them with U+FFFD, so
// it must neither propose such a name (it would answer another file's) nor take a
// choice that looks like two files of the folder for one of them.
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "shared/FileFolder.h"
#include "support/FileDialogDriver.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace narvo {
namespace {

using test::PutFile;
using test::TTempFolder;
using test::AcceptInDialog;
using test::TSeen;

// While Open runs: what the dialog it shows proposes; then the name it shows for
// both files is typed, and the dialog accepted as its own button would.
QString ProposedWhileChoosingLookalike(const std::function<void()>& Open)
{
    QString Proposed = QStringLiteral("(no dialog)");
    QTimer Poll;
    Poll.setInterval(10);
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        auto* D = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* Edit = D ? D->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!Edit)
            return;
        Poll.stop();
        Proposed = Edit->text();
        Edit->setText(QStringLiteral("caf\uFFFD.txt"));
        static_cast<QDialog*>(D)->accept();  // the dialog's own checks run
    });
    Poll.start();
    Open();
    return Proposed;
}

TEST(FileDialogs, ANameTheDialogCannotShowIsNeitherProposedNorTakenForAnother)
{
    TTempFolder Dir;
    PutFile(Dir / "caf\xE9.txt", "own");
    PutFile(Dir / "caf\xEF\xBF\xBD.txt", "another");
    TScriptedMessageBoxes Boxes;
    TFileDialogs* Scripted = SetFileDialogs(nullptr);
    const TFileDialogOptions O{"Save Text As", "All Files|*.*|", "caf\xE9.txt", Dir.Path(), false, ""};
    std::optional<std::string> Chosen;
    EXPECT_EQ(ProposedWhileChoosingLookalike([&] { Chosen = FileDialogs().SaveFileName(O); }), QString());
    EXPECT_EQ(Chosen, std::nullopt);
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_NE(Boxes.Asked[0].Text.find("cannot show the name"), std::string::npos) << Boxes.Asked[0].Text;
    EXPECT_NE(Boxes.Asked[1].Text.find("cannot tell which"), std::string::npos) << Boxes.Asked[1].Text;
    // Several files chosen at once: the look-alike is not taken either.
    std::vector<std::string> Several{"(none)"};
    ProposedWhileChoosingLookalike([&] { Several = FileDialogs().OpenFileNames({"Open", "All Files|*.*|", "", Dir.Path()}); });
    EXPECT_TRUE(Several.empty());
    EXPECT_EQ(Boxes.Asked.size(), 3u);
    SetFileDialogs(Scripted);
    EXPECT_EQ(test::GetFile(Dir / "caf\xE9.txt"), "own");
    EXPECT_EQ(test::GetFile(Dir / "caf\xEF\xBF\xBD.txt"), "another");
}

// A folder whose name is not UTF-8: every dialog opens in it (not in its parent with
// the folder's shown name proposed as a file name), proposes the names it can show,
// and gives back the folder's own bytes.
TEST(FileDialogs, AFolderWhoseNameIsNotUtf8IsOpenedItselfAndKeepsItsBytes)
{
    TTempFolder Dir;
    const std::string Cafe = Dir / "caf\xE9";
    ASSERT_EQ(::mkdir(Cafe.c_str(), 0700), 0);
    PutFile(Cafe + "/m.nrv", "macros");
    TScriptedMessageBoxes Boxes;
    TFileDialogs* Scripted = SetFileDialogs(nullptr);
    std::optional<std::string> Chosen;
    TSeen Seen = AcceptInDialog([&] { Chosen = FileDialogs().OpenFileName({"Load Macros", "All Files|*.*|", "", Cafe}); },
                                "m.nrv", "m.nrv");
    EXPECT_EQ(Seen.Proposed, QString());
    EXPECT_TRUE(Seen.ShowsWanted);
    EXPECT_EQ(Chosen, Cafe + "/m.nrv");
    // A full name proposes its own name in its own folder, as Save As of a macro file does.
    Seen = AcceptInDialog([&] { Chosen = FileDialogs().SaveFileName({"Save Macros As", "All Files|*.*|", Cafe + "/m.nrv", "/"}); },
                          "m.nrv", "");
    EXPECT_EQ(Seen.Proposed, QStringLiteral("m.nrv"));
    EXPECT_EQ(Chosen, Cafe + "/m.nrv");
    // The copy tool's "." is the current folder, here that one.
    const std::string Before = GetCurrentFolder();
    ASSERT_EQ(::chdir(Cafe.c_str()), 0);
    std::vector<std::string> Several;
    AcceptInDialog([&] { Several = FileDialogs().OpenFileNames({"Open", "All Files|*.*|", "", "."}); }, "m.nrv", "m.nrv");
    ASSERT_EQ(::chdir(Before.c_str()), 0);
    EXPECT_EQ(Several, std::vector<std::string>{Cafe + "/m.nrv"});
    // The folder dialog of the options.
    std::optional<std::string> Folder;
    Seen = AcceptInDialog([&] { Folder = ChooseExistingFolder(nullptr, "Select Directory", Cafe); }, "m.nrv", "");
    EXPECT_TRUE(Seen.ShowsWanted);
    EXPECT_EQ(Folder, Cafe);
    SetFileDialogs(Scripted);
    EXPECT_TRUE(Boxes.Asked.empty());
}

}  // namespace
}  // namespace narvo
