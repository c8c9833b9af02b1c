// The span of lines an open undo group has changed (see ChangedSpan.h). The span is
// a row of pieces, each either lines untouched since the group began (counted only:
// the text holds them as they were) or touched lines with their old text. A change
// makes the lines it reaches one touched piece; untouched stretches of a few lines
// between touched ones are taken in, so that a change every few lines through a
// whole text keeps one piece that grows at its end. The last piece used is kept as
// a finger, so a change next to the last one costs no walk over the pieces.
#include "engine/ChangedSpan.h"

#include "engine/EditBuffer.h"

#include <cstring>

namespace narvo {

namespace {

// Old text parts below this size are joined as they come.
constexpr std::size_t PartBytes = 64 << 10;

}  // namespace

void TChangedSpan::Start(TPoint Cursor)
{
    Stop();
    FActive = true;
    FCursor = Cursor;
}

void TChangedSpan::Stop()
{
    std::deque<TPiece>().swap(FPieces);
    FActive = false;
    FLost = false;
    FFirst = FNewLines = FOldLines = 0;
    FAt = 0;
    FAtLine = 0;
}

void TChangedSpan::Lose()
{
    std::deque<TPiece>().swap(FPieces);
    FLost = true;
    FFirst = FNewLines = FOldLines = 0;
    FAt = 0;
    FAtLine = 0;
}

void TChangedSpan::Changing(const TEditBuffer& Buf, std::int64_t A, std::int64_t B) noexcept
{
    if (!FActive || FLost)
        return;
    if (A < 0) {
        Lose();
        return;
    }
    try {
        Work(Buf, A, B);
    } catch (...) {
        Lose();
    }
}

void TChangedSpan::Changed(std::int64_t A, std::int64_t B, std::int64_t M) noexcept
{
    if (!FActive || FLost)
        return;
    const std::int64_t D = M - (B - A);
    if (D == 0)
        return;
    // Changing made the lines part of the piece the finger points at.
    if (FAt >= FPieces.size() || !FPieces[FAt].Touched || A < FAtLine || B > FAtLine + FPieces[FAt].NewLines) {
        Lose();
        return;
    }
    FPieces[FAt].NewLines += D;
    FNewLines += D;
}

void TChangedSpan::AppendLines(const TEditBuffer& Buf, std::int64_t A, std::int64_t B, std::string& Out,
                               std::vector<std::int64_t>& Crs)
{
    for (std::int64_t Y = A; Y < B; ++Y) {
        if (Y > A)
            Out.push_back('\r');
        const std::string_view L = Buf[Y];
        if (L.empty())
            continue;
        const auto Base = static_cast<std::int64_t>(Out.size());
        for (const void* P = std::memchr(L.data(), '\r', L.size()); P;) {
            const auto I = static_cast<const char*>(P) - L.data();
            Crs.push_back(Base + I);
            P = std::memchr(L.data() + I + 1, '\r', L.size() - static_cast<std::size_t>(I) - 1);
        }
        Out.append(L);
    }
}

TChangedSpan::TOldText TChangedSpan::ReadLines(const TEditBuffer& Buf, std::int64_t A, std::int64_t B)
{
    TOldText T;
    std::size_t Size = 0;
    for (std::int64_t Y = A; Y < B; ++Y)
        Size += static_cast<std::size_t>(Buf.LineLength(Y)) + 1;
    T.Text.reserve(Size);
    AppendLines(Buf, A, B, T.Text, T.Crs);
    return T;
}

void TChangedSpan::PushBack(TPiece& P, TOldText&& T)
{
    if (!P.Old.empty() && P.Old.back().Text.size() + T.Text.size() < PartBytes) {
        TOldText& Back = P.Old.back();
        const auto Off = static_cast<std::int64_t>(Back.Text.size()) + 1;
        Back.Text.push_back('\r');
        Back.Text.append(T.Text);
        for (const std::int64_t C : T.Crs)
            Back.Crs.push_back(C + Off);
        return;
    }
    P.Old.push_back(std::move(T));
}

void TChangedSpan::PushFront(TPiece& P, TOldText&& T)
{
    if (!P.Old.empty() && P.Old.front().Text.size() + T.Text.size() < PartBytes) {
        TOldText& Front = P.Old.front();
        const auto Off = static_cast<std::int64_t>(T.Text.size()) + 1;
        T.Text.push_back('\r');
        T.Text.append(Front.Text);
        for (const std::int64_t C : Front.Crs)
            T.Crs.push_back(C + Off);
        Front = std::move(T);
        return;
    }
    P.Old.push_front(std::move(T));
}

void TChangedSpan::Join(TPiece& Left, TPiece&& Right)
{
    if (Left.Old.size() >= Right.Old.size()) {
        for (TOldText& T : Right.Old)
            PushBack(Left, std::move(T));
    } else {
        for (auto It = Left.Old.rbegin(); It != Left.Old.rend(); ++It)
            PushFront(Right, std::move(*It));
        Left.Old = std::move(Right.Old);
    }
    Left.NewLines += Right.NewLines;
    Left.OldLines += Right.OldLines;
    Left.Touched = true;
}

void TChangedSpan::Touch(const TEditBuffer& Buf, std::size_t I, std::int64_t Start)
{
    TPiece& P = FPieces[I];
    if (P.NewLines > 0)
        P.Old.push_back(ReadLines(Buf, Start, Start + P.NewLines));
    P.Touched = true;
}

std::size_t TChangedSpan::Find(std::int64_t Y, std::int64_t& Start) const
{
    std::size_t I = FAt < FPieces.size() ? FAt : 0;
    std::int64_t S = FAt < FPieces.size() ? FAtLine : FFirst;
    while (I > 0 && Y < S) {
        --I;
        S -= FPieces[I].NewLines;
    }
    while (I < FPieces.size() && Y >= S + FPieces[I].NewLines) {
        S += FPieces[I].NewLines;
        ++I;
    }
    Start = S;
    return I;
}

void TChangedSpan::Work(const TEditBuffer& Buf, std::int64_t A, std::int64_t B)
{
    if (FAt < FPieces.size()) {
        const TPiece& P = FPieces[FAt];
        if (P.Touched && A >= FAtLine && B <= FAtLine + P.NewLines)
            return;
    }
    if (FPieces.empty()) {
        TPiece P;
        P.Touched = true;
        P.NewLines = P.OldLines = B - A;
        if (B > A)
            P.Old.push_back(ReadLines(Buf, A, B));
        FPieces.push_back(std::move(P));
        FFirst = A;
        FNewLines = FOldLines = B - A;
        FAt = 0;
        FAtLine = A;
        return;
    }
    // The span reaches the lines first, through untouched lines.
    if (A < FFirst) {
        TPiece Gap;
        Gap.NewLines = Gap.OldLines = FFirst - A;
        FPieces.push_front(std::move(Gap));
        FNewLines += FFirst - A;
        FOldLines += FFirst - A;
        FFirst = A;
        ++FAt;
    }
    const std::int64_t End = FFirst + FNewLines;
    if (B > End) {
        TPiece Gap;
        Gap.NewLines = Gap.OldLines = B - End;
        FPieces.push_back(std::move(Gap));
        FNewLines += B - End;
        FOldLines += B - End;
    }
    // An untouched piece holding A is cut there.
    std::int64_t S = 0;
    std::size_t I = Find(A, S);
    if (I < FPieces.size() && !FPieces[I].Touched && A > S) {
        TPiece Tail;
        Tail.NewLines = Tail.OldLines = S + FPieces[I].NewLines - A;
        FPieces[I].NewLines = FPieces[I].OldLines = A - S;
        FPieces.insert(FPieces.begin() + static_cast<std::ptrdiff_t>(I) + 1, std::move(Tail));
        ++I;
        S = A;
    }
    // Pieces I..J-1 cover A..B-1, an untouched one cut at B.
    std::size_t J = I;
    for (std::int64_t T = S; J < FPieces.size() && T < B; ++J) {
        TPiece& P = FPieces[J];
        if (!P.Touched && T + P.NewLines > B) {
            TPiece Tail;
            Tail.NewLines = Tail.OldLines = T + P.NewLines - B;
            P.NewLines = P.OldLines = B - T;
            FPieces.insert(FPieces.begin() + static_cast<std::ptrdiff_t>(J) + 1, std::move(Tail));
        }
        T += FPieces[J].NewLines;
    }
    // They become one touched piece (an empty one where lines go in between two).
    if (J == I) {
        TPiece P;
        P.Touched = true;
        FPieces.insert(FPieces.begin() + static_cast<std::ptrdiff_t>(I), std::move(P));
    } else {
        std::int64_t T = S;
        for (std::size_t K = I; K < J; ++K) {
            if (!FPieces[K].Touched)
                Touch(Buf, K, T);
            T += FPieces[K].NewLines;
            if (K > I)
                Join(FPieces[I], std::move(FPieces[K]));
        }
        FPieces.erase(FPieces.begin() + static_cast<std::ptrdiff_t>(I) + 1, FPieces.begin() + static_cast<std::ptrdiff_t>(J));
    }
    // Touched neighbours, and those a few untouched lines away, join it.
    for (;;) {
        if (I >= 1 && FPieces[I - 1].Touched) {
            S -= FPieces[I - 1].NewLines;
            Join(FPieces[I - 1], std::move(FPieces[I]));
            FPieces.erase(FPieces.begin() + static_cast<std::ptrdiff_t>(I));
            --I;
        } else if (I >= 2 && FPieces[I - 1].NewLines <= MergeLines && FPieces[I - 2].Touched) {
            Touch(Buf, I - 1, S - FPieces[I - 1].NewLines);
        } else {
            break;
        }
    }
    for (;;) {
        if (I + 1 < FPieces.size() && FPieces[I + 1].Touched) {
            Join(FPieces[I], std::move(FPieces[I + 1]));
            FPieces.erase(FPieces.begin() + static_cast<std::ptrdiff_t>(I) + 1);
        } else if (I + 2 < FPieces.size() && FPieces[I + 1].NewLines <= MergeLines && FPieces[I + 2].Touched) {
            Touch(Buf, I + 1, S + FPieces[I].NewLines);
        } else {
            break;
        }
    }
    FAt = I;
    FAtLine = S;
}

void TChangedSpan::Widen(const TEditBuffer& Buf)
{
    if (!FActive || FLost || FPieces.empty() || (FOldLines > 0 && FNewLines > 0))
        return;
    const std::int64_t End = FFirst + FNewLines;
    try {
        if (End < Buf.Count())
            Work(Buf, End, End + 1);
        else if (FFirst > 0)
            Work(Buf, FFirst - 1, FFirst);
    } catch (...) {
        Lose();
    }
}

std::int64_t TChangedSpan::OldBytes(const TEditBuffer& Buf) const
{
    std::int64_t N = 0, S = FFirst;
    for (const TPiece& P : FPieces) {
        if (P.Touched) {
            for (const TOldText& T : P.Old)
                N += static_cast<std::int64_t>(T.Text.size()) + 1;
        } else {
            N += Buf.OffsetOfLine(S + P.NewLines, 1) - Buf.OffsetOfLine(S, 1);
        }
        S += P.NewLines;
    }
    return N;
}

std::string TChangedSpan::TakeOldText(const TEditBuffer& Buf, TCharCrs& Crs)
{
    std::string Out;
    Out.reserve(static_cast<std::size_t>(OldBytes(Buf)));
    std::vector<std::int64_t> At;
    bool Any = false;
    auto Add = [&](const TOldText& T) {
        if (Any)
            Out.push_back('\r');
        Any = true;
        const auto Base = static_cast<std::int64_t>(Out.size());
        for (const std::int64_t C : T.Crs)
            At.push_back(Base + C);
        Out.append(T.Text);
    };
    std::int64_t S = FFirst;
    for (TPiece& P : FPieces) {
        if (P.Touched) {
            // Each part goes once copied, so the old text is not held twice.
            for (; !P.Old.empty(); P.Old.pop_front())
                Add(P.Old.front());
        } else if (P.NewLines > 0) {
            if (Any)
                Out.push_back('\r');
            Any = true;
            AppendLines(Buf, S, S + P.NewLines, Out, At);
        }
        S += P.NewLines;
    }
    Crs = TCharCrs();
    if (!At.empty()) {
        Crs.Which = TCharCrs::Listed;
        Crs.At = std::move(At);
    }
    Stop();
    return Out;
}

}  // namespace narvo
