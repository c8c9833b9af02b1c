// The line searcher. Reading, stepping and matching follow the stream view described
// in the header; the skip routines only jump over stretches of a line that cannot
// begin a match, and the scans only over bytes that cannot hold the pattern's rarest
// character, so both find the same matches as stepping one position at a time.
#include "engine/LineSearcher.h"

#include "engine/EditBuffer.h"
#include "shared/CharClass.h"

#include <algorithm>
#include <cstring>

namespace narvo {

TListSearcher::TListSearcher(const TEditBuffer& ALines) : Lines(ALines) {}

std::string_view TListSearcher::LineText(std::int64_t Y)
{
    if (Y != CachedLine) {
        CachedLine = Y;
        CachedText = Lines[Y];
    }
    return CachedText;
}

unsigned char TListSearcher::CharAt(TPoint P)
{
    const std::string_view L = LineText(P.Y);
    if (P.X <= 0 || P.X > static_cast<std::int64_t>(L.size()))
        return '\r';
    const auto C = static_cast<unsigned char>(L[static_cast<std::size_t>(P.X - 1)]);
    return IgnoreCase ? LowCaseChar(C) : C;
}

bool TListSearcher::Advance(TPoint& P)
{
    if (P.X < Lines.LineLength(P.Y)) {
        ++P.X;
        return true;
    }
    if (P.Y + 1 < Lines.Count()) {
        P = TPoint{0, P.Y + 1};
        return true;
    }
    return false;
}

bool TListSearcher::Back(TPoint& P)
{
    if (P.X >= 1) {
        --P.X;
        return true;
    }
    if (P.Y >= 1) {
        P = TPoint{Lines.LineLength(P.Y - 1), P.Y - 1};
        return true;
    }
    return false;
}

bool TListSearcher::Matches(unsigned char PatternChar, unsigned char C) const
{
    if (PatternChar == AnyDigit)
        return IsDigit(C);
    if (PatternChar == AnyChar)
        return true;
    return PatternChar == C;
}

bool TListSearcher::MatchAt(TPoint& P, TRect& R)
{
    TPoint Q = P;
    const std::size_t N = Pattern.size();
    for (std::size_t I = 0; I < N; ++I) {
        if (!Matches(static_cast<unsigned char>(Pattern[I]), CharAt(Q)))
            return false;
        if (I + 1 < N && !Advance(Q))
            return false;
    }
    TPoint Start = P;
    Back(Start);  // from (0, 0) it stays: the match then starts at the text start
    R = TRect{Start.X, Start.Y, Q.X, Q.Y};
    P = Q;
    return true;
}

bool TListSearcher::IsWholeWord(const TRect& R)
{
    const TPoint S{R.Left, R.Top};
    const unsigned char B = CharAt(S);
    unsigned char BB = ' ';
    if (S.X > 0) {
        TPoint T = S;
        if (Back(T))
            BB = CharAt(T);
    }
    TPoint E{R.Right, R.Bottom};
    unsigned char A1 = ' ', A2 = ' ';
    if (Advance(E)) {
        A1 = CharAt(E);
        if (Advance(E))
            A2 = CharAt(E);
    }
    return IsWordDelimiter(B, BB, false) && IsWordDelimiter(A1, A2, false);
}

void TListSearcher::Prepare(const std::string& APattern)
{
    Pattern = APattern;
    if (IgnoreCase)
        for (char& C : Pattern)
            C = static_cast<char>(LowCaseChar(static_cast<unsigned char>(C)));
    const auto First = static_cast<unsigned char>(Pattern[0]);
    FirstIsLiteral = First != AnyDigit && First != AnyChar && First != '\r';
    for (int C = 0; C < 256; ++C) {
        const auto U = static_cast<unsigned char>(C);
        FirstMatch[C] = (IgnoreCase ? LowCaseChar(U) : U) == First;
    }
    // The anchor: the character least likely to occur in ordinary text, so that the
    // scans stop seldom. Lower-case letters rank by their frequency in English.
    static constexpr std::string_view ByFrequency = "etaoinshrdlcumwfgypbvkjxqz";
    auto Weight = [](unsigned char C) -> int {
        if (C == ' ')
            return 1000;
        if (IsLower(C))
            return 100 - 3 * static_cast<int>(ByFrequency.find(static_cast<char>(C)));
        if (IsUpper(C))
            return 20;
        if (C >= '0' && C <= '9')
            return 30;
        return 10;
    };
    int Best = 1 << 30;
    for (std::size_t I = 0; I < Pattern.size(); ++I) {
        const auto C = static_cast<unsigned char>(Pattern[I]);
        const int W = Weight(C) + (IgnoreCase && IsLower(C) ? Weight(UpCaseChar(C)) : 0);
        if (W < Best) {
            Best = W;
            Anchor = I;
        }
    }
    const auto A = static_cast<unsigned char>(Pattern[Anchor]);
    AnchorA = static_cast<char>(A);
    AnchorB = static_cast<char>(IgnoreCase ? UpCaseChar(A) : A);
}

bool TListSearcher::PlainPattern() const
{
    for (char Ch : Pattern) {
        const auto C = static_cast<unsigned char>(Ch);
        if (C == '\r' || C == '\n' || C == AnyDigit || C == AnyChar)
            return false;
    }
    return true;
}

bool TListSearcher::BytesMatch(const char* D) const
{
    if (!IgnoreCase)
        return std::memcmp(D, Pattern.data(), Pattern.size()) == 0;
    for (std::size_t I = 0; I < Pattern.size(); ++I)
        if (LowCaseChar(static_cast<unsigned char>(D[I])) != static_cast<unsigned char>(Pattern[I]))
            return false;
    return true;
}

namespace {

// The next (or, going back, the previous) byte equal to A or B inside a range. The
// nearest hit of each byte is remembered, so two bytes cost two passes over the
// range, not one pass per hit.
class TAnchorFinder {
public:
    TAnchorFinder(char A, char B) : FA(A), FB(B) {}
    // Hits at S or later, before E, in increasing order.
    const char* Next(const char* S, const char* E)
    {
        if (S >= E)
            return nullptr;
        if (FA == FB)
            return static_cast<const char*>(std::memchr(S, FA, static_cast<std::size_t>(E - S)));
        if (!(FNextA && FNextA >= S && FNextA < E) && !FDoneA) {
            FNextA = static_cast<const char*>(std::memchr(S, FA, static_cast<std::size_t>(E - S)));
            FDoneA = FNextA == nullptr;
        }
        if (!(FNextB && FNextB >= S && FNextB < E) && !FDoneB) {
            FNextB = static_cast<const char*>(std::memchr(S, FB, static_cast<std::size_t>(E - S)));
            FDoneB = FNextB == nullptr;
        }
        const char* A = FDoneA ? nullptr : FNextA;
        const char* B = FDoneB ? nullptr : FNextB;
        return !A ? B : !B ? A : std::min(A, B);
    }
    // Hits before E, at S or later, in decreasing order.
    const char* Prev(const char* S, const char* E)
    {
        if (S >= E)
            return nullptr;
        if (FA == FB)
            return static_cast<const char*>(memrchr(S, FA, static_cast<std::size_t>(E - S)));
        if (!(FNextA && FNextA >= S && FNextA < E) && !FDoneA) {
            FNextA = static_cast<const char*>(memrchr(S, FA, static_cast<std::size_t>(E - S)));
            FDoneA = FNextA == nullptr;
        }
        if (!(FNextB && FNextB >= S && FNextB < E) && !FDoneB) {
            FNextB = static_cast<const char*>(memrchr(S, FB, static_cast<std::size_t>(E - S)));
            FDoneB = FNextB == nullptr;
        }
        const char* A = FDoneA ? nullptr : FNextA;
        const char* B = FDoneB ? nullptr : FNextB;
        return !A ? B : !B ? A : std::max(A, B);
    }
    // A new range begins: nothing remembered applies to it.
    void Reset()
    {
        FNextA = FNextB = nullptr;
        FDoneA = FDoneB = false;
    }

private:
    char FA, FB;
    const char* FNextA = nullptr;
    const char* FNextB = nullptr;
    bool FDoneA = false, FDoneB = false;
};

}  // namespace

bool TListSearcher::ScanForward(TPoint& P, TRect& R)
{
    const auto K = static_cast<std::ptrdiff_t>(Anchor);
    const auto Len = static_cast<std::ptrdiff_t>(Pattern.size());
    TAnchorFinder Finder(AnchorA, AnchorB);
    // Stretches start short, so that a match near the start costs little, and grow
    // while nothing is found.
    std::int64_t Reach = 8;
    std::int64_t Y = P.Y;
    std::int64_t MinCol = std::max<std::int64_t>(P.X, 1) - 1;
    for (; Y < Lines.Count(); Y = Y + 1, MinCol = 0, Reach = std::min<std::int64_t>(Reach * 2, 1 << 20)) {
        const std::int64_t Y0 = Y, Last = Lines.StretchEnd(Y, Reach);
        const std::string_view FirstLine = Lines[Y], LastLine = Lines[Last];
        const char* Begin = FirstLine.data();
        // Offsets from Begin: the bytes of lines Y0..Last and the line ends between.
        const std::ptrdiff_t EndOff = LastLine.data() + LastLine.size() - Begin;
        std::ptrdiff_t FromOff = std::min<std::ptrdiff_t>(MinCol, static_cast<std::ptrdiff_t>(FirstLine.size()));
        Y = Last;
        if (Begin == nullptr || EndOff - FromOff < Len)
            continue;
        const char* End = Begin + EndOff;
        Finder.Reset();
        for (const char* H = Finder.Next(Begin + FromOff + K, End); H; H = Finder.Next(H + 1, End)) {
            const std::ptrdiff_t StartOff = H - Begin - K;
            // The pattern holds no line end, so bytes that match lie in one line.
            if (StartOff < FromOff || StartOff + Len > EndOff || !BytesMatch(Begin + StartOff))
                continue;
            const std::int64_t HY = Y0 == Last ? Y0 : Lines.LineOfByte(Y0, Last, H);
            const std::string_view L = Lines[HY];
            const std::int64_t Col = Begin + StartOff - L.data();
            TPoint Q{Col + 1, HY};
            TRect Found;
            if (!MatchAt(Q, Found))
                continue;
            if (!WholeWord || IsWholeWord(Found)) {
                P = Q;
                R = Found;
                return true;
            }
            // A rejected match is not retried one character later: go on after it.
            FromOff = L.data() + Q.X - Begin;
        }
    }
    return false;
}

bool TListSearcher::ScanBackward(TPoint& P, TRect& R)
{
    const auto K = static_cast<std::ptrdiff_t>(Anchor);
    const auto Len = static_cast<std::ptrdiff_t>(Pattern.size());
    TAnchorFinder Finder(AnchorA, AnchorB);
    std::int64_t Reach = 8;
    std::int64_t Y = P.Y;
    // The last column of line Y at which a match may begin (-1: none on it).
    std::int64_t MaxCol = P.X - 1;
    while (Y >= 0) {
        const std::int64_t First = Lines.StretchStart(Y, Reach);
        const std::string_view FirstLine = Lines[First], LastLine = Lines[Y];
        const char* Begin = FirstLine.data();
        if (Begin != nullptr) {
            // Offsets from Begin, as in the forward scan.
            const std::ptrdiff_t LastOff = LastLine.data() - Begin;
            const std::ptrdiff_t LimitOff = LastOff + MaxCol;
            const std::ptrdiff_t EndOff = LastOff + static_cast<std::ptrdiff_t>(LastLine.size());
            const std::ptrdiff_t ScanEnd = std::min<std::ptrdiff_t>(EndOff, LimitOff + K + 1);
            Finder.Reset();
            for (const char* H = ScanEnd > K ? Finder.Prev(Begin + K, Begin + ScanEnd) : nullptr; H;
                 H = Finder.Prev(Begin + K, H)) {
                const std::ptrdiff_t StartOff = H - Begin - K;
                if (StartOff > LimitOff || StartOff + Len > EndOff || !BytesMatch(Begin + StartOff))
                    continue;
                const std::int64_t HY = First == Y ? Y : Lines.LineOfByte(First, Y, H);
                const std::string_view L = Lines[HY];
                TPoint Q{Begin + StartOff - L.data() + 1, HY};
                TRect Found;
                if (MatchAt(Q, Found) && (!WholeWord || IsWholeWord(Found))) {
                    P = Q;
                    R = Found;
                    return true;
                }
            }
        }
        Y = First - 1;
        Reach = std::min<std::int64_t>(Reach * 2, 1 << 20);
        if (Y >= 0)
            MaxCol = Lines.LineLength(Y) - 1;
    }
    return false;
}

bool TListSearcher::SkipForward(TPoint& P)
{
    const auto First = static_cast<unsigned char>(Pattern[0]);
    const bool Single = !IgnoreCase || !IsAlpha(First);
    for (;;) {
        const std::string_view L = LineText(P.Y);
        const auto From = static_cast<std::size_t>(std::max<std::int64_t>(P.X, 1) - 1);
        const char* Data = L.data();
        const std::size_t Len = L.size();
        std::size_t I = Len;
        if (From < Len) {
            if (Single) {
                const void* Hit = std::memchr(Data + From, First, Len - From);
                I = Hit ? static_cast<std::size_t>(static_cast<const char*>(Hit) - Data) : Len;
            } else {
                I = From;
                while (I < Len && !FirstMatch[static_cast<unsigned char>(Data[I])])
                    ++I;
            }
        }
        if (I < Len) {
            P.X = static_cast<std::int64_t>(I) + 1;
            return true;
        }
        if (P.Y + 1 >= Lines.Count())
            return false;
        P = TPoint{0, P.Y + 1};
    }
}

bool TListSearcher::SkipBackward(TPoint& P)
{
    const auto First = static_cast<unsigned char>(Pattern[0]);
    const bool Single = !IgnoreCase || !IsAlpha(First);
    for (;;) {
        const std::string_view L = LineText(P.Y);
        const char* Data = L.data();
        const auto To = static_cast<std::size_t>(std::min<std::int64_t>(P.X, static_cast<std::int64_t>(L.size())));
        std::int64_t I = -1;
        if (To > 0) {
            if (Single) {
                const void* Hit = memrchr(Data, First, To);
                I = Hit ? static_cast<std::int64_t>(static_cast<const char*>(Hit) - Data) : -1;
            } else {
                I = static_cast<std::int64_t>(To) - 1;
                while (I >= 0 && !FirstMatch[static_cast<unsigned char>(Data[I])])
                    --I;
            }
        }
        if (I >= 0) {
            P.X = I + 1;
            return true;
        }
        if (P.Y == 0)
            return false;
        P = TPoint{Lines.LineLength(P.Y - 1), P.Y - 1};
    }
}

bool TListSearcher::SearchForward(const std::string& APattern, TPoint& P, TRect& R)
{
    CachedLine = -1;
    if (APattern.empty() || !Lines.ValidLine(P.Y))
        return false;
    if (P.X < 0)
        P.X = 0;
    if (P.X > Lines.LineLength(P.Y)) {
        // Past a line end (column-block cursor): the next place to read is the line
        // break before the next line.
        if (P.Y + 1 >= Lines.Count())
            return false;
        P = TPoint{0, P.Y + 1};
    }
    Prepare(APattern);
    if (PlainPattern())
        return ScanForward(P, R);
    const auto First = static_cast<unsigned char>(Pattern[0]);
    for (;;) {
        if (FirstIsLiteral && !SkipForward(P))
            return false;
        if (Matches(First, CharAt(P))) {
            TPoint Q = P;
            TRect Found;
            if (MatchAt(Q, Found)) {
                if (!WholeWord || IsWholeWord(Found)) {
                    P = Q;
                    R = Found;
                    return true;
                }
                P = Q;  // a rejected match is not retried one character later
            }
        }
        if (!Advance(P))
            return false;
    }
}

bool TListSearcher::SearchBackward(const std::string& APattern, TPoint& P, TRect& R)
{
    CachedLine = -1;
    if (APattern.empty() || (P.X == 0 && P.Y == 0) || !Lines.ValidLine(P.Y))
        return false;
    P.X = std::clamp<std::int64_t>(P.X, 0, Lines.LineLength(P.Y));
    Prepare(APattern);
    if (PlainPattern())
        return ScanBackward(P, R);
    const auto First = static_cast<unsigned char>(Pattern[0]);
    for (;;) {
        if (FirstIsLiteral && !SkipBackward(P))
            return false;
        if (Matches(First, CharAt(P))) {
            TPoint Q = P;
            TRect Found;
            if (MatchAt(Q, Found) && (!WholeWord || IsWholeWord(Found))) {
                P = Q;
                R = Found;
                return true;
            }
        }
        if (!Back(P))
            return false;
    }
}

}  // namespace narvo
