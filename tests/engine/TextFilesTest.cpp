// Text files in a temporary folder: byte-exact round trips of each line-end style,
// UTF-16 and Ctrl+Z mode; failed loads that change nothing; failed saves that leave
// the file on disk as it was with no temporary file; mode bits and links kept.
#include "FakeEditor.h"

#include "engine/TextFiles.h"
#include "support/ChildUnderLimit.h"

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
        // Mixed line ends: split at the most frequent one, other LFs kept as they were.
        TRoundTrip{"Mixed", "a\r\nb\nc\r\nd\n", false, "a|b\nc|d\n", "a\r\nb\nc\r\nd\n"},
        TRoundTrip{"Utf16Le", "\xFF\xFE" "a\0\r\0\n\0\xE9\0"s, false, "a|\xE9", "\xFF\xFE" "a\0\r\0\n\0\xE9\0"s},
        TRoundTrip{"Utf16BeStaysBigEndian", "\xFE\xFF\0a\0\n\0b"s, false, "a|b", "\xFE\xFF\0a\0\n\0b"s},
        TRoundTrip{"CtrlZBehindUtf16BeIsOneUnit", "\xFE\xFF\0a\0\x1A"s, true, "a", "\xFE\xFF\0a\0\x1A"s},
        TRoundTrip{"CtrlZDropped", "abc\x1A", true, "abc", "abc\x1A"},
        TRoundTrip{"CtrlZAfterLineEnd", "abc\r\n\x1A", true, "abc|", "abc\r\n\x1A"},
        TRoundTrip{"TwoCtrlZLoseOne", "abc\x1A\x1A", true, "abc\x1A", "abc\x1A\x1A"},
        TRoundTrip{"CtrlZOffIsACharacter", "abc\x1A", false, "abc\x1A", "abc\x1A"},
        TRoundTrip{"CtrlZBehindUtf16IsOneUnit", "\xFF\xFE" "a\0\x1A\0"s, true, "a", "\xFF\xFE" "a\0\x1A\0"s}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// Files no one would call text: loading and saving them with no edit gives back
// every byte, or (for a CR that is not the file's usual line end) refuses to save
// until the caller agrees, leaving the file as it was.
TEST_F(TextFiles, HostileFilesComeBackByteForByteOrAreRefused)
{
    std::string AllBytes;
    for (int B = 0; B < 256; ++B)
        AllBytes.push_back(static_cast<char>(B));
    std::string Soup;  // a fixed pseudo-random byte soup, rich in CR, LF and zero
    std::uint32_t Seed = 12345;
    for (int I = 0; I < 20000; ++I) {
        Seed = Seed * 1103515245u + 12345u;
        const char Pick[] = {'\r', '\n', '\0', 'x', static_cast<char>(Seed >> 24)};
        Soup.push_back(Pick[(Seed >> 16) % 5]);
    }
    auto Utf16Le = [](std::string_view Ascii) {
        std::string S;
        for (char C : Ascii) {
            S.push_back(C);
            S.push_back('\0');
        }
        return S;
    };
    struct TFile {
        const char* Name;
        std::string Bytes;
        bool Exact;
    };
    const std::vector<TFile> Files{
        {"AllBytes", AllBytes, true},
        {"AllBytesTwiceWithCrLf", AllBytes + "\r\n" + AllBytes, true},
        {"ByteSoup", Soup, false},
        {"MixedLineEnds", "one\r\ntwo\nthree\rfour\n\rfive\r\r\n\n", true},
        {"CrLfWithStrayLf", "one\r\ntwo\nthree\r\n", true},
        {"LfWithOneCrLf", "one\ntwo\r\nthree\n", false},
        {"NoFinalLineEnd", "a\r\nb", true},
        {"OnlyCrs", "\r\r\r", true},
        {"Utf16WithoutBom", Utf16Le("line one\r\nline two\r\n"), true},
        {"Utf16WithoutBomMixed", Utf16Le("a\nb\r\nc\rd"), true},
        {"Utf16LeBomMixed", "\xFF\xFE" + Utf16Le("a\r\nb\nc\r\rd"), true},
        {"Utf16LeBomNoFinalLineEnd", "\xFF\xFE" + Utf16Le("a\r\nb"), true},
        {"Utf16LeBomControlUnits", "\xFF\xFE" + Utf16Le(std::string_view(AllBytes.data(), 32)), true},
    };
    for (const auto& F : Files) {
        TFakeEditor E;
        const std::string P = Path(F.Name);
        Write(P, F.Bytes);
        E.LoadFromFile(P);
        EXPECT_FALSE(E.Strings->Lossy) << F.Name;
        EXPECT_EQ(E.Strings->ChangedLineEnds == 0, F.Exact) << F.Name;
        if (E.Strings->ChangedLineEnds == 0) {
            E.SaveToFile(P);
            EXPECT_EQ(Read(P), F.Bytes) << F.Name;
            continue;
        }
        EXPECT_THROW(E.SaveToFile(P), ELossyText) << F.Name;
        EXPECT_EQ(Read(P), F.Bytes) << F.Name;
        // Once agreed, the file holds one line end throughout and reads back alike.
        E.SaveToFile(P, true);
        EXPECT_EQ(E.Strings->ChangedLineEnds, 0);
        const std::string Agreed = Read(P);
        TFakeEditor Again;
        Again.LoadFromFile(P);
        EXPECT_EQ(Again.Strings->ChangedLineEnds, 0) << F.Name;
        EXPECT_EQ(Again.Lines(), E.Lines()) << F.Name;
        Again.SaveToFile(P);
        EXPECT_EQ(Read(P), Agreed) << F.Name;
    }
}

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

TEST_F(TextFiles, AFileTooLargeForTheMemoryIsRefusedByNameAndChangesNothing)
{
    if (SanitizedBuild)
        GTEST_SKIP() << "the sanitizers reserve more address space than any limit leaves";
    // One too large to read (sparse: it takes no disk), and one that is read but
    // whose 64 million lines cannot be held.
    const std::string Sparse = Path("sparse"), Lines = Path("lines");
    Write(Sparse, "");
    ASSERT_EQ(::truncate(Sparse.c_str(), std::int64_t{3} << 30), 0);
    Write(Lines, std::string(64 << 20, '\n'));
    Write(Path("good"), "good\r\ntext");
    for (const std::string& Name : {Sparse, Lines})
        EXPECT_EQ(InChildUnderLimit(256 << 20,
                                    [&] {
                                        TFakeEditor E;
                                        E.LoadFromFile(Path("good"));
                                        std::string Fault;
                                        try {
                                            E.LoadFromFile(Name);
                                            Fault = "loaded; ";
                                        } catch (const EFileError& Error) {
                                            const std::string Said = Error.what();
                                            if (Said.find("\"" + Name + "\"") == std::string::npos ||
                                                Said.find("too large for the memory") == std::string::npos ||
                                                Said.find("ulimit -v") == std::string::npos)
                                                Fault = "said: " + Said + "; ";
                                        }
                                        if (E.Lines() != "good|text" || E.FileName != Path("good"))
                                            Fault += "the pane changed";
                                        return Fault;
                                    }),
                  "")
            << Name;
}

// A UTF-16 text (both byte orders, a Ctrl+Z at its end, a line longer than any piece
// it is written in) is saved byte for byte while the memory left is far smaller
// than the text.
TEST_F(TextFiles, AUtf16TextIsSavedWhileLessMemoryIsLeftThanTheText)
{
    if (SanitizedBuild)
        GTEST_SKIP() << "the sanitizers reserve more address space than any limit leaves";
    for (const bool Big : {false, true}) {
        SCOPED_TRACE(Big);
        std::string Text;
        for (int I = 0; Text.size() < (12u << 20); ++I)
            Text += "caf\xE9 " + std::to_string(I) + "\r\n";
        Text.insert(Text.size() / 2, std::string(3 << 20, 'x'));
        Text += '\x1A';
        std::string Bytes = Big ? "\xFE\xFF" : "\xFF\xFE";
        for (const char C : Text) {
            Bytes += Big ? '\0' : C;
            Bytes += Big ? C : '\0';
        }
        Write(Path("in"), Bytes);
        TFakeEditor E;
        E.CtrlZMode = true;
        E.LoadFromFile(Path("in"));
        EXPECT_EQ(InChildUnderLimit(8 << 20,
                                    [&] {
                                        E.SaveToFile(Path("out"));
                                        return std::string();
                                    }),
                  "");
        EXPECT_TRUE(Read(Path("out")) == Bytes) << Read(Path("out")).size() << " bytes of " << Bytes.size();
    }
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

// A draft (written at a signal, with nobody to ask) changes nothing the user did not
// agree to: a file of mixed line ends comes back with each line end it had, also
// beside edited, joined and new lines, which take a neighbour's or the usual one;
// the encoding and Ctrl+Z are those of a save.
TEST_F(TextFiles, ADraftKeepsTheLineEndsTheTextWasReadWith)
{
    using TBytes = TEditorEngine::TFileBytes;
    const std::string Mixed = "a\r\nb\nc\rd\ne\nf";
    TFakeEditor E;
    Write(Path("mixed"), Mixed);
    E.LoadFromFile(Path("mixed"));
    ASSERT_EQ(E.Lines(), "a|b|c|d|e|f");
    EXPECT_THROW(E.FileBytes(), ELossyText) << "a save asks first";
    EXPECT_EQ(E.FileBytes(TBytes::SaveAgreed), "a\nb\nc\nd\ne\nf");
    EXPECT_EQ(E.FileBytes(TBytes::Draft), Mixed);

    // An edited line keeps its ends; a new line and the lines round a deleted one
    // take a neighbour's.
    E.Strings->SetLine(1, "Xb");
    E.Strings->InsertLine(3, "new");
    E.Strings->DeleteLines(4, 4);
    EXPECT_EQ(E.Lines(), "a|Xb|c|new|e|f");
    EXPECT_EQ(E.FileBytes(TBytes::Draft), "a\r\nXb\nc\rnew\ne\nf");
    E.Strings->SetLine(0, "A");
    E.Strings->SetLine(1, "B");  // no neighbour as read between them: the usual LF
    EXPECT_EQ(E.FileBytes(TBytes::Draft), "A\nB\nc\rnew\ne\nf");

    // Cut at CR, an LF after a CR stays a character of the next line.
    E.SetText("a\rb\r\nc\rd");
    ASSERT_EQ(E.Lines(), "a|b|\nc|d");
    EXPECT_EQ(E.FileBytes(TBytes::Draft), "a\rb\r\nc\rd");

    // UTF-16 and Ctrl+Z as a save writes them.
    E.CtrlZMode = true;
    Write(Path("wide"), "\xFF\xFE" "a\0\r\0\n\0b\0"s);
    E.LoadFromFile(Path("wide"));
    E.Strings->SetLine(1, "bc");
    EXPECT_EQ(E.FileBytes(TBytes::Draft), E.FileBytes(TBytes::Save));
    EXPECT_EQ(E.FileBytes(TBytes::Draft), "\xFF\xFE" "a\0\r\0\n\0b\0c\0\x1A\0"s);
}

}  // namespace
}  // namespace narvo::test
