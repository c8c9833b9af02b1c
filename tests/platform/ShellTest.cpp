// The shell launcher with a fake desktop: result codes from our own checks, the
// error texts, web lookups and the terminal's argument list.
#include "platform/Shell.h"
#include "support/FakeShell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace narvo {
namespace {

using test::TFakeShell;

std::string Bytes(const QString& S) { return QFile::encodeName(S).toStdString(); }

TEST(Shell, OpenDocumentChecksThePathFirst)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString File = Dir.filePath(QStringLiteral("doc.txt"));
    QFile(File).open(QIODevice::WriteOnly);
    TFakeShell Fake;

    EXPECT_EQ(ShellOpen(Bytes(Dir.filePath("missing.txt"))), 2);
    EXPECT_EQ(ShellOpen(Bytes(Dir.filePath("nofolder/missing.txt"))), 3);
    try {
        OpenDocument(Bytes(Dir.filePath("missing.txt")));
        ADD_FAILURE();
    } catch (const EShellError& E) {
        EXPECT_STREQ(E.what(), "The specified file was not found.");
        EXPECT_EQ(E.Code(), 2);
    }
    EXPECT_THROW(OpenDocument(Bytes(Dir.filePath("no/such"))), EShellError);
    EXPECT_TRUE(Fake.Opened.empty());

    EXPECT_NO_THROW(OpenDocument(Bytes(File)));
    ASSERT_EQ(Fake.Opened.size(), 1u);
    EXPECT_EQ(Fake.Opened[0], QUrl::fromLocalFile(File));

    Fake.CanOpen = false;
    try {
        OpenDocument(Bytes(File));
        ADD_FAILURE();
    } catch (const EShellError& E) {
        EXPECT_EQ(E.Code(), 31);
        EXPECT_STREQ(E.what(), "There is no application associated with the given filename extension.");
    }
}

TEST(Shell, AddressesAndLookupsOpenEncodedUrls)
{
    TFakeShell Fake;
    OpenDocument("https://example.org/a b?x=1");
    OpenDocument("www.example.org");
    WebSearch("C++");
    DictionaryLookup("caf\xE9");
    ASSERT_EQ(Fake.Opened.size(), 4u);
    EXPECT_EQ(Fake.Opened[0].toString(QUrl::FullyEncoded), QStringLiteral("https://example.org/a%20b?x=1"));
    EXPECT_EQ(Fake.Opened[1].toString(), QStringLiteral("http://www.example.org"));
    EXPECT_TRUE(Fake.Opened[2].toString(QUrl::FullyEncoded).endsWith(QStringLiteral("/search?q=C%2B%2B")))
        << Fake.Opened[2].toString(QUrl::FullyEncoded).toStdString();
    EXPECT_TRUE(Fake.Opened[3].toString(QUrl::FullyEncoded).endsWith(QStringLiteral("/browse/caf%C3%A9")))
        << Fake.Opened[3].toString(QUrl::FullyEncoded).toStdString();
}

TEST(Shell, TerminalAndFolderUseArgumentLists)
{
    TFakeShell Fake;
    const QByteArray Old = qgetenv("TERMINAL");
    qputenv("TERMINAL", "my-term --flag \"two words\"");
    OpenCommandPrompt("/tmp");
    qunsetenv("TERMINAL");
    OpenCommandPrompt("/");
    if (!Old.isEmpty())
        qputenv("TERMINAL", Old);
    ASSERT_EQ(Fake.Started.size(), 2u);
    EXPECT_EQ(Fake.Started[0], (QStringList{"my-term", "--flag", "two words", "@/tmp"}));
    EXPECT_EQ(Fake.Started[1], (QStringList{"x-terminal-emulator", "@/"}));

    EXPECT_TRUE(ExploreFolder("/tmp"));
    ASSERT_EQ(Fake.Opened.size(), 1u);
    EXPECT_EQ(Fake.Opened[0], QUrl::fromLocalFile(QStringLiteral("/tmp")));

    // Without a file manager or a terminal the callers hear of it.
    Fake.CanOpen = false;
    EXPECT_FALSE(ExploreFolder("/tmp"));
    EXPECT_FALSE(OpenCommandPrompt("/tmp"));
}

}  // namespace
}  // namespace narvo
