// Text files in a temporary folder: byte-exact round trips of each line-end style,
// UTF-16 and Ctrl+Z mode; failed loads that change nothing; failed saves that leave
// the file on disk as it was with no temporary file; mode bits and links kept.
#include "FakeEditor.h"

#include "engine/TextFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace narvo::test {
namespace {

namespace fs = std::filesystem;

class TextFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char Template[] = "/tmp/narvo-textfiles-XXXXXX";
        ASSERT_NE(::mkdtemp(Template), nullptr);
        Dir = Template;
    }
    void TearDown() override
    {
        SetFileFaultHook(nullptr);
        fs::permissions(Dir, fs::perms::owner_all);
        fs::remove_all(Dir);
    }
    std::string Path(const std::string& Name) const { return Dir + "/" + Name; }
    void Write(const std::string& P, const std::string& Bytes) const { std::ofstream(P, std::ios::binary) << Bytes; }
    std::string Read(const std::string& P) const
    {
        std::ifstream F(P, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(F), {});
    }
    std::size_t Entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(Dir), {})); }

    std::string Dir;
};

struct TRoundTrip {
    const char* Name;
    std::string Bytes;
    bool CtrlZ;
    std::string Lines;
    std::string Saved;  // the bytes written back
};

class TextFileRoundTrip : public TextFiles, public ::testing::WithParamInterface<TRoundTrip> {};

TEST_P(TextFileRoundTrip, LoadsAndSavesBack)
{
    const auto& C = GetParam();
    TFakeEditor E;
    E.CtrlZMode = C.CtrlZ;
    Write(Path("in"), C.Bytes);
    E.LoadFromFile(Path("in"));
    EXPECT_EQ(E.Lines(), C.Lines);
    EXPECT_EQ(E.FileName, Path("in"));
    E.SaveToFile(Path("out"));
    EXPECT_EQ(Read(Path("out")), C.Saved);
    EXPECT_EQ(E.FileName, Path("out"));
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Engine, TextFileRoundTrip,
    ::testing::Values(
        TRoundTrip{"CrLf", "a\r\nb\r\n", false, "a|b|", "a\r\nb\r\n"},
        TRoundTrip{"Lf", "a\nb\n", false, "a|b|", "a\nb\n"},
        TRoundTrip{"Cr", "a\rb\r", false, "a|b|", "a\rb\r"},
        TRoundTrip{"NoFinalLineEnd", "a\nb", false, "a|b", "a\nb"},
        TRoundTrip{"Empty", "", false, "", ""},
        TRoundTrip{"NulBytes", "a\0b\n\0"s, false, "a\0b|\0"s, "a\0b\n\0"s},
        // A file of mixed line ends is written back with its first one throughout.
        TRoundTrip{"Mixed", "a\r\nb\nc\rd", false, "a|b|c|d", "a\r\nb\r\nc\r\nd"},
        TRoundTrip{"Utf16Le", "\xFF\xFE" "a\0\r\0\n\0\xE9\0"s, false, "a|\xE9", "\xFF\xFE" "a\0\r\0\n\0\xE9\0"s},
        TRoundTrip{"Utf16BeWrittenLittleEndian", "\xFE\xFF\0a\0\n\0b"s, false, "a|b", "\xFF\xFE" "a\0\n\0b\0"s},
        TRoundTrip{"CtrlZDropped", "abc\x1A", true, "abc", "abc\x1A"},
        TRoundTrip{"CtrlZAfterLineEnd", "abc\r\n\x1A", true, "abc|", "abc\r\n\x1A"},
        TRoundTrip{"TwoCtrlZLoseOne", "abc\x1A\x1A", true, "abc\x1A", "abc\x1A\x1A"},
        TRoundTrip{"CtrlZOffIsACharacter", "abc\x1A", false, "abc\x1A", "abc\x1A"},
        TRoundTrip{"CtrlZBehindUtf16IsOneUnit", "\xFF\xFE" "a\0\x1A\0"s, true, "a", "\xFF\xFE" "a\0\x1A\0"s}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(TextFiles, NewTextIsWrittenWithLf)
{
    TFakeEditor E;
    E.InsertText("one\r\ntwo");
    E.SaveToFile(Path("new"));
    EXPECT_EQ(Read(Path("new")), "one\ntwo");
}

TEST_F(TextFiles, FailedLoadChangesNothing)
{
    Write(Path("good"), "good\r\ntext");
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    ::mkdir(Path("folder").c_str(), 0700);
    Write(Path("secret"), "x");
    ::chmod(Path("secret").c_str(), 0);
    SetFileFaultHook([this](TFileStep Step, const std::string& P) {
        if (Step != TFileStep::Read)
            return 0;
        if (P == Path("unreadable"))
            return EIO;
        // Root reads any file: the refusal a user would get is injected.
        return P == Path("secret") && ::geteuid() == 0 ? EACCES : 0;
    });
    Write(Path("unreadable"), "x");
    for (const std::string Name : {"missing", "folder", "fifo", "secret", "unreadable"}) {
        TFakeEditor E;
        E.LoadFromFile(Path("good"));
        E.SetModified(false);
        const auto Count = E.ChangeCount.load();
        try {
            E.LoadFromFile(Path(Name));
            ADD_FAILURE() << Name << " loaded";
        } catch (const EFileError& Error) {
            EXPECT_NE(std::string(Error.what()).find(Path(Name)), std::string::npos) << Error.what();
        }
        EXPECT_EQ(E.Lines(), "good|text") << Name;
        EXPECT_EQ(E.FileName, Path("good"));
        EXPECT_EQ(E.Strings->LineEnd, TLineEnd::CrLf);
        EXPECT_FALSE(E.Modified);
        EXPECT_EQ(E.ChangeCount.load(), Count);
    }
    TFakeEditor Device;
    EXPECT_THROW(Device.LoadFromFile("/dev/null"), EFileError);
}

TEST_F(TextFiles, FailedSaveLeavesTargetAndNoTemporaryFile)
{
    const std::string Target = Path("target");
    Write(Target, "old bytes\n");
    TFakeEditor E;
    E.InsertText("new text");
    struct TFault {
        TFileStep Step;
        int Errno;
    };
    for (const TFault F : {TFault{TFileStep::CreateTemp, EACCES}, TFault{TFileStep::Write, ENOSPC},
                           TFault{TFileStep::Sync, EIO}, TFault{TFileStep::Rename, EXDEV}}) {
        SetFileFaultHook([F](TFileStep Step, const std::string&) { return Step == F.Step ? F.Errno : 0; });
        EXPECT_THROW(E.SaveToFile(Target), EFileError);
        EXPECT_EQ(Read(Target), "old bytes\n");
        EXPECT_EQ(Entries(), 1u);
        EXPECT_EQ(E.FileName, "");
    }
    SetFileFaultHook(nullptr);

    // A read-only folder: root may still write there, so only a user sees it fail.
    ::chmod(Dir.c_str(), 0555);
    if (::geteuid() == 0) {
        std::cout << "[ note     ] running as root: the read-only folder refusal is covered by the injected faults\n";
    } else {
        EXPECT_THROW(E.SaveToFile(Target), EFileError);
        EXPECT_EQ(Read(Target), "old bytes\n");
        EXPECT_EQ(Entries(), 1u);
    }
}

TEST_F(TextFiles, SaveKeepsModeBitsAndFollowsLinks)
{
    const std::string Target = Path("script");
    Write(Target, "#!/bin/sh\n");
    ::chmod(Target.c_str(), 0755);
    ::symlink("script", Path("link").c_str());
    TFakeEditor E;
    E.LoadFromFile(Path("link"));
    E.InsertText("echo hi\n");
    E.SaveToFile(Path("link"));
    EXPECT_TRUE(fs::is_symlink(Path("link")));
    EXPECT_EQ(Read(Target), "echo hi\n#!/bin/sh\n");
    struct stat St;
    ASSERT_EQ(::stat(Target.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 07777, 0755u);
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(TextFiles, LossyUtf16IsSavedOnlyWhenConfirmed)
{
    Write(Path("wide"), "\xFF\xFE" "a\0\x3B\x04"s);  // a and a Cyrillic letter
    TFakeEditor E;
    E.LoadFromFile(Path("wide"));
    EXPECT_EQ(E.Lines(), "a?");
    EXPECT_THROW(E.SaveToFile(Path("wide")), ELossyText);
    EXPECT_EQ(Read(Path("wide")), "\xFF\xFE" "a\0\x3B\x04"s);
    E.SaveToFile(Path("wide"), true);
    EXPECT_EQ(Read(Path("wide")), "\xFF\xFE" "a\0?\0"s);
}

}  // namespace
}  // namespace narvo::test
