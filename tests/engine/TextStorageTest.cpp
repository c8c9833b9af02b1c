// The chunked line storage against a plain vector of lines: random splices across
// chunk boundaries on a loaded text (lines viewing its block) keep the lines, the
// offsets and the joined text equal to the plain model's; and offset queries on the
// user-interface thread never fail while a status thread reads.
#include "FakeEditor.h"

#include "shared/CharClass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace narvo::test {
namespace {

std::string Join(const std::vector<std::string>& L, const char* Sep)
{
    std::string S;
    for (std::size_t I = 0; I < L.size(); ++I) {
        if (I)
            S += Sep;
        S += L[I];
    }
    return S;
}

// Characters before line Y of the model, each line end counting EndSize.
std::int64_t ModelOffset(const std::vector<std::string>& L, std::int64_t Y, std::int64_t EndSize)
{
    std::int64_t Sum = 0;
    for (std::int64_t I = 0; I < Y; ++I)
        Sum += static_cast<std::int64_t>(L[static_cast<std::size_t>(I)].size()) + EndSize;
    return Sum;
}

void ExpectSame(const TEditBuffer& B, const std::vector<std::string>& M, std::mt19937& Rng)
{
    ASSERT_EQ(B.Count(), static_cast<std::int64_t>(M.size()));
    const auto N = static_cast<std::int64_t>(M.size());
    for (int K = 0; K < 20; ++K) {
        const std::int64_t Y = std::uniform_int_distribution<std::int64_t>(0, N - 1)(Rng);
        ASSERT_EQ(B[Y], M[static_cast<std::size_t>(Y)]) << "line " << Y;
        ASSERT_EQ(B.OffsetOfLine(Y, 2), ModelOffset(M, Y, 2)) << "line " << Y;
        const std::int64_t Off = ModelOffset(M, Y, 1);
        ASSERT_EQ(B.OffsetOfLine(Y, 1), Off);
        std::int64_t Start = -1;
        ASSERT_EQ(B.LineAtOffset(Off, 1, Start), Y);
        ASSERT_EQ(Start, Off);
    }
    ASSERT_EQ(B.TextLength(1), ModelOffset(M, N, 1) - 1);
    std::int64_t Start = 0;
    EXPECT_EQ(B.LineAtOffset(B.TextLength(1) + 1, 1, Start), -1);
}

TEST(TextStorage, SplicesAcrossChunksMatchAPlainVector)
{
    std::mt19937 Rng(18);
    std::vector<std::string> M;
    for (int I = 0; I < 20000; ++I)
        M.push_back(std::string(static_cast<std::size_t>(I % 13), static_cast<char>('a' + I % 26)));
    TEditBuffer B;
    B.AdoptText(Join(M, "\r\n"));
    ExpectSame(B, M, Rng);

    auto Pick = [&](std::int64_t Lo, std::int64_t Hi) { return std::uniform_int_distribution<std::int64_t>(Lo, Hi)(Rng); };
    for (int Step = 0; Step < 400; ++Step) {
        const auto N = static_cast<std::int64_t>(M.size());
        switch (Pick(0, 4)) {
        case 0: {  // many lines at once, sometimes enough to split a chunk
            const std::int64_t At = Pick(0, N), Many = Pick(1, Step % 7 == 0 ? 9000 : 30);
            std::vector<std::string> New;
            for (std::int64_t I = 0; I < Many; ++I)
                New.push_back("n" + std::to_string(Step) + "." + std::to_string(I));
            M.insert(M.begin() + At, New.begin(), New.end());
            B.InsertLines(At, std::move(New));
            break;
        }
        case 1: {  // a range, sometimes over several chunks
            const std::int64_t First = Pick(0, N - 1), Last = std::min(N - 1, First + Pick(0, Step % 5 == 0 ? 9000 : 20));
            M.erase(M.begin() + First, M.begin() + Last + 1);
            if (M.empty())
                M.emplace_back();
            B.DeleteLines(First, Last);
            break;
        }
        case 2: {  // changed in place inside one bracket, with a splice after it
            const std::int64_t Y = Pick(0, N - 1);
            TEditBuffer::TUpdate U(B);
            std::string& L = B.MutableLine(Y);
            L += "+x";
            M[static_cast<std::size_t>(Y)] += "+x";
            B.InsertLine(Y + 1, "after");
            M.insert(M.begin() + Y + 1, "after");
            L += "y";
            M[static_cast<std::size_t>(Y)] += "y";
            // Sizes are right inside the bracket too, with a line still handed out.
            std::string& Again = B.MutableLine(Y + 1);
            Again += "zz";
            M[static_cast<std::size_t>(Y) + 1] += "zz";
            ASSERT_EQ(B.TextLength(1), ModelOffset(M, static_cast<std::int64_t>(M.size()), 1) - 1);
            ASSERT_EQ(B.JoinLines('\r'), Join(M, "\r"));
            break;
        }
        case 3: {
            const std::int64_t Y = Pick(0, N - 1);
            B.SetLine(Y, "set" + std::to_string(Step));
            M[static_cast<std::size_t>(Y)] = "set" + std::to_string(Step);
            break;
        }
        default: {  // an empty line owns nothing and views nothing
            const std::int64_t At = Pick(0, N);
            B.InsertLine(At, "");
            M.insert(M.begin() + At, std::string());
            break;
        }
        }
        ExpectSame(B, M, Rng);
        if (HasFatalFailure())
            return;
    }
    EXPECT_EQ(B.GetTextStr(), Join(M, "\r\n"));
    EXPECT_EQ(B.JoinLines('\r'), Join(M, "\r"));
}

TEST(TextStorage, DeletingEverythingLeavesOneEmptyLine)
{
    TEditBuffer B;
    std::string Text;
    for (int I = 0; I < 10000; ++I)
        Text += "line\n";
    B.AdoptText(std::move(Text));
    ASSERT_EQ(B.Count(), 10001);
    B.DeleteLines(0, B.Count() - 1);
    EXPECT_EQ(B.Count(), 1);
    EXPECT_EQ(B[0], "");
    EXPECT_EQ(B.TextLength(2), 0);
    B.InsertLine(1, "two");
    EXPECT_EQ(B.GetTextStr(), "\ntwo");
}

// A text cut into lines on another thread and taken over by an engine: its lines
// (still viewing the block), how it came and the Ctrl+Z rule as for a text loaded
// in place, changes and counts afterwards; the prepared buffer is left a new text.
TEST(TextStorage, ATextPreparedOnAnotherThreadIsTakenOverWhole)
{
    std::string Text;
    for (int I = 0; I < 9000; ++I)
        Text.append("line ").append(std::to_string(I)).append("\r\n");
    Text += "stray\rend\x1A";
    TEditBuffer Prepared;
    std::thread([&] { Prepared.AdoptText(std::string(Text)); }).join();

    TFakeEditor E, Plain;
    int Changes = 0, PlainChanges = 0;
    E.Strings->OnChange = [&] { ++Changes; };
    Plain.Strings->OnChange = [&] { ++PlainChanges; };
    E.CtrlZMode = Plain.CtrlZMode = true;
    E.AdoptText(Prepared);
    Plain.SetText(Text);
    EXPECT_EQ(Changes, PlainChanges);
    EXPECT_EQ(E.Strings->Count(), Plain.Strings->Count());
    EXPECT_EQ(E.GetText(), Plain.GetText());
    EXPECT_EQ(E.Strings->LineEnd, TLineEnd::CrLf);
    EXPECT_EQ(E.Strings->ChangedLineEnds, 1);
    EXPECT_EQ(E.Strings->FirstWord, Plain.Strings->FirstWord);
    EXPECT_EQ(E.Strings->TextLength(2), Plain.Strings->TextLength(2));
    EXPECT_EQ(E.Strings->OffsetOfLine(8000, 2), Plain.Strings->OffsetOfLine(8000, 2));

    EXPECT_EQ(Prepared.Count(), 1);
    EXPECT_EQ(Prepared[0], "");
    EXPECT_EQ(Prepared.ChangedLineEnds, 0);
    EXPECT_EQ(Prepared.LineEnd, TLineEnd::Lf);

    E.Strings->DeleteLines(10, 8999);
    E.Strings->InsertLine(1, "new");
    EXPECT_EQ(E.Strings->Count(), 13);
    EXPECT_EQ((*E.Strings)[1], "new");
    EXPECT_EQ((*E.Strings)[2], "line 1");
    EXPECT_EQ((*E.Strings)[11], "stray");
    EXPECT_EQ((*E.Strings)[12], "end");
}

// Many lines inserted at once are copied into a block of their own: they read as
// inserted after their source is gone, neighbours form one stretch, saving writes
// the text's own line ends, and the block goes once its last line is deleted or
// changed (whichever way, and over chunk boundaries).
TEST(TextStorage, LinesInsertedTogetherKeepTheirBlockUntilTheLastGoes)
{
    TEditBuffer B;
    B.AdoptText(std::string("first\nlast"));
    {
        std::vector<std::string> Source;
        for (int I = 0; I < 10000; ++I)
            Source.push_back(I % 10 == 9 ? std::string() : "ins" + std::to_string(I));
        std::vector<std::string_view> Views(Source.begin(), Source.end());
        B.InsertLines(1, Views);
    }
    ASSERT_EQ(B.Count(), 10002);
    EXPECT_EQ(B.InsertedBlocks(), 1u);
    EXPECT_EQ(B[1], "ins0");
    EXPECT_EQ(B[10], "");
    EXPECT_EQ(B[9999], "ins9998");
    EXPECT_EQ(B.StretchEnd(1, 100), 9);  // up to the empty line
    const std::string Text = B.GetTextStr();
    EXPECT_EQ(Text.find('\r'), std::string::npos);
    EXPECT_EQ(Text.substr(0, 21), "first\nins0\nins1\nins2\n");
    std::string Pieces;
    for (std::string_view P : B.TextPieces())
        Pieces += P;
    EXPECT_EQ(Pieces, Text);

    B.DeleteLines(2, 8000);  // over many chunks
    EXPECT_EQ(B.InsertedBlocks(), 1u);
    for (std::int64_t Y = 1; Y + 1 < B.Count(); ++Y)
        if (!B[Y].empty())
            B.SetLine(Y, "changed");
    EXPECT_EQ(B.InsertedBlocks(), 0u);
    EXPECT_EQ(B[1], "changed");
    EXPECT_EQ(B[B.Count() - 1], "last");

    // Deleted whole; a few lines or only empty ones own their bytes instead.
    std::vector<std::string> More(300, "more");
    B.InsertLines(1, std::move(More));
    EXPECT_EQ(B.InsertedBlocks(), 1u);
    B.InsertLines(1, std::vector<std::string>(5, "few"));
    B.InsertLines(1, std::vector<std::string>(500));
    EXPECT_EQ(B.InsertedBlocks(), 1u);
    B.DeleteLines(506, 805);
    EXPECT_EQ(B.InsertedBlocks(), 0u);
    EXPECT_EQ(B[506], "changed");
    EXPECT_EQ(B[505], "few");
}

// The lines of Text cut at the line ends of Style, as plainly as can be.
std::vector<std::string> CutPlainly(const std::string& Text, TLineEnd Style)
{
    std::vector<std::string> Lines(1);
    for (std::size_t I = 0; I < Text.size(); ++I) {
        const char C = Text[I];
        const bool Pair = C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n';
        if (C == '\r' || (C == '\n' && Style == TLineEnd::Lf)) {
            Lines.emplace_back();
            I += Pair && Style != TLineEnd::Cr ? 1 : 0;
        } else {
            Lines.back() += C;
        }
    }
    return Lines;
}

// A large text is cut in two halves at once; the lines, the line end chosen and the
// count of line ends saving changes must be those of a plain cut, whichever line end
// is the most frequent, wherever the halves meet (also beside a CR LF pair).
TEST(TextStorage, LargeTextsAreCutAsPlainlyAsSmallOnes)
{
    const struct {
        const char* Unit;  // repeated to some 9 MB
        TLineEnd Style;
        std::int64_t ChangedPerUnit;
    } Rows[] = {
        {"ab\ncd\r\nef\n", TLineEnd::Lf, 1},        // LF most frequent, first too
        {"ab\r\ncd\ne\r\n\r\n", TLineEnd::CrLf, 0},  // a stray LF stays a character
        {"a\rb\r\nc\r", TLineEnd::Cr, 0},           // CR LF pairs beside the CRs
        {"x\n\ry\r\rz\r", TLineEnd::Cr, 0},          // begins with LF, most are CRs
    };
    for (const auto& R : Rows) {
        std::string Text;
        const std::string Unit = R.Unit;
        while (Text.size() < (std::size_t{9} << 20))
            Text += Unit;
        Text += "tail";
        const std::size_t Units = (Text.size() - 4) / Unit.size();
        TEditBuffer B;
        B.SetTextStr(Text);
        EXPECT_EQ(B.LineEnd, R.Style) << R.Unit;
        EXPECT_EQ(B.ChangedLineEnds, R.ChangedPerUnit * static_cast<std::int64_t>(Units)) << R.Unit;
        const std::vector<std::string> Lines = CutPlainly(Text, R.Style);
        ASSERT_EQ(B.Count(), static_cast<std::int64_t>(Lines.size())) << R.Unit;
        for (std::size_t Y = 0; Y < Lines.size(); ++Y)
            ASSERT_EQ(B[static_cast<std::int64_t>(Y)], Lines[Y]) << R.Unit << " line " << Y;
        std::int64_t Chars = static_cast<std::int64_t>(Lines.size()) - 1;
        for (const std::string& L : Lines)
            Chars += static_cast<std::int64_t>(L.size());
        EXPECT_EQ(B.TextLength(1), Chars) << R.Unit;
    }
    // Wherever the middle falls in a CR LF text with stray LFs, no byte is lost.
    const std::string Unit = "ab\r\ncd\ne\r\n";
    std::string Body;
    while (Body.size() < (std::size_t{9} << 20))
        Body += Unit;
    const auto Units = static_cast<std::int64_t>(Body.size() / Unit.size());
    for (std::size_t Shift = 0; Shift < Unit.size(); ++Shift) {
        TEditBuffer B;
        B.SetTextStr(std::string(Shift, 'x') + Body);
        ASSERT_EQ(B.Count(), 2 * Units + 1) << Shift;
        // Each unit: "ab", "cd\ne" and two line ends.
        ASSERT_EQ(B.TextLength(1), static_cast<std::int64_t>(Shift) + 8 * Units) << Shift;
    }
}

// The searcher scans stretches of stored bytes; it must find what a plain walk over
// the stream (a CR before every line) finds, on lines that view the block, lines
// that own their bytes and lines whose neighbours were deleted.
TEST(TextStorage, ScansFindWhatTheStreamHolds)
{
    std::mt19937 Rng(5);
    auto Pick = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
    std::string Text;
    for (int I = 0; I < 3000; ++I) {
        const int N = Pick(0, 12);
        for (int J = 0; J < N; ++J)
            Text.push_back("abAB c"[Pick(0, 5)]);
        Text += I % 3 == 0 ? "\r\n" : "\n";
    }
    TEditBuffer B;
    B.AdoptText(std::move(Text));
    B.SetLine(10, "abba");
    B.DeleteLines(20, 22);
    B.InsertLine(40, "cab");
    {
        TEditBuffer::TUpdate U(B);
        B.MutableLine(2000).append("ab");
    }
    std::string Stream;
    std::vector<std::int64_t> LineStart;  // index of the CR before each line
    for (std::int64_t Y = 0; Y < B.Count(); ++Y) {
        LineStart.push_back(static_cast<std::int64_t>(Stream.size()));
        Stream.push_back('\r');
        Stream += B[Y];
    }
    auto Fold = [](char C) { return static_cast<char>(LowCaseChar(static_cast<unsigned char>(C))); };
    auto MatchesAt = [&](const std::string& Pat, std::int64_t I, bool Ignore) {
        if (I < 0 || I + static_cast<std::int64_t>(Pat.size()) > static_cast<std::int64_t>(Stream.size()))
            return false;
        for (std::size_t K = 0; K < Pat.size(); ++K) {
            const char A = Stream[static_cast<std::size_t>(I) + K], P = Pat[K];
            if (Ignore ? Fold(A) != Fold(P) : A != P)
                return false;
        }
        return true;
    };
    auto PosOf = [&](std::int64_t I) {  // search position of stream index I
        const auto It = std::upper_bound(LineStart.begin(), LineStart.end(), I) - 1;
        return TPoint{I - *It, It - LineStart.begin()};
    };
    TListSearcher S(B);
    const std::vector<std::string> Patterns = {"ab", "ba", "c", "abba", "cab", "b a", "AB", "aBc", "bbbb"};
    for (int Round = 0; Round < 400; ++Round) {
        const std::string& Pat = Patterns[static_cast<std::size_t>(Pick(0, static_cast<int>(Patterns.size()) - 1))];
        const bool Ignore = Pick(0, 1) != 0, Backward = Pick(0, 1) != 0;
        const auto From = std::uniform_int_distribution<std::int64_t>(0, static_cast<std::int64_t>(Stream.size()) - 1)(Rng);
        std::int64_t Want = -1;
        if (Backward) {
            for (std::int64_t I = From; I >= 0 && Want < 0; --I)
                if (MatchesAt(Pat, I, Ignore))
                    Want = I;
        } else {
            for (std::int64_t I = From; I < static_cast<std::int64_t>(Stream.size()) && Want < 0; ++I)
                if (MatchesAt(Pat, I, Ignore))
                    Want = I;
        }
        S.IgnoreCase = Ignore;
        TPoint P = PosOf(From);
        TRect R;
        const bool Found = Backward ? S.SearchBackward(Pat, P, R) : S.SearchForward(Pat, P, R);
        ASSERT_EQ(Found, Want >= 0) << Pat << " from " << From << (Backward ? " back" : "");
        if (!Found)
            continue;
        const TPoint Start = PosOf(Want), Last = PosOf(Want + static_cast<std::int64_t>(Pat.size()) - 1);
        EXPECT_EQ(R.Top, Start.Y);
        EXPECT_EQ(R.Left, Start.X - 1);
        EXPECT_EQ(R.Bottom, Last.Y);
        EXPECT_EQ(R.Right, Last.X);
        EXPECT_EQ(P, Last);
    }
}

// Offset queries of the user-interface thread are never refused because a status
// thread holds the lock for its own query; -1 only means a change is under way.
TEST(TextStorage, OffsetQueriesNeverFailWhileTheStatusThreadReads)
{
    TFakeEditor E;
    std::string Text;
    Text.reserve(12'000'000);
    for (int I = 0; I < 1'000'000; ++I)
        Text += "line " + std::to_string(I) + "\n";
    E.Strings->AdoptText(std::move(Text));
    const std::int64_t Last = E.Strings->Count() - 1;
    E.Cursor->SetPos(TPoint{0, Last});
    std::atomic<bool> Stop{false};
    std::atomic<std::int64_t> PollerReads{0};
    std::thread Poller([&] {
        while (!Stop.load()) {
            (void)E.CursorOffset();
            (void)E.CharsAfterCursor();
            ++PollerReads;
        }
    });
    const std::int64_t Expected = E.Strings->OffsetOfLine(Last, 2);
    // The reads below overlap the poller's only once it runs: on a busy machine it
    // may start after they are done.
    while (PollerReads.load() == 0)
        std::this_thread::yield();
    int Failed = 0, Wrong = 0;
    for (int I = 0; I < 20'000; ++I) {
        const std::int64_t V = E.CursorOffset();
        Failed += V == -1;
        Wrong += V != -1 && V != Expected;
    }
    Stop = true;
    Poller.join();
    EXPECT_EQ(Failed, 0);
    EXPECT_EQ(Wrong, 0);
    EXPECT_GT(PollerReads.load(), 0);
    // Inside the thread's own change the answer is "changing".
    TEditBuffer::TUpdate U(*E.Strings);
    EXPECT_EQ(E.CursorOffset(), -1);
}

}  // namespace
}  // namespace narvo::test
