// The line searcher. Reading, stepping and matching follow the stream view described
// in the header; the skip routines only jump over stretches of a line that cannot
// begin a match, so they find the same matches as stepping one position at a time.
#include "engine/LineSearcher.h"

#include "engine/EditBuffer.h"
#include "shared/CharClass.h"

#include <algorithm>
#include <cstring>

namespace narvo {

TListSearcher::TListSearcher(const TEditBuffer& ALines) : Lines(ALines) {}

const std::string& TListSearcher::LineText(std::int64_t Y)
{
    if (Y != CachedLine) {
        CachedLine = Y;
        CachedText = &Lines[Y];
    }
    return *CachedText;
}

unsigned char TListSearcher::CharAt(TPoint P)
{
    const std::string& L = LineText(P.Y);
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
}

bool TListSearcher::SkipForward(TPoint& P)
{
    const auto First = static_cast<unsigned char>(Pattern[0]);
    const bool Single = !IgnoreCase || !IsAlpha(First);
    for (;;) {
        const std::string& L = LineText(P.Y);
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
        const std::string& L = LineText(P.Y);
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
