// Positions, ranges, offsets and character access of the editor. A line end is not
// stored: it stands between two lines, reads as CR and counts as one character,
// except in PosToOffset and StreamLength, which count it as the two bytes CR LF.
#include "engine/EditorEngine.h"

#include "shared/CharClass.h"

#include <algorithm>

namespace narvo {

int TEditorEngine::ComparePos(TPoint A, TPoint B)
{
    if (A.Y != B.Y)
        return A.Y < B.Y ? -1 : 1;
    if (A.X != B.X)
        return A.X < B.X ? -1 : 1;
    return 0;
}

bool TEditorEngine::PosAfter(TPoint A, TPoint B) { return ComparePos(A, B) > 0; }

TRect TEditorEngine::NormalizeRange(TRect R)
{
    if (PosAfter(TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom}))
        return TRect{R.Right, R.Bottom, R.Left, R.Top};
    return R;
}

TPoint TEditorEngine::ClampPos(TPoint P) const
{
    P.Y = std::clamp<std::int64_t>(P.Y, 0, Strings->Count() - 1);
    P.X = std::clamp<std::int64_t>(P.X, 0, Strings->LineLength(P.Y));
    return P;
}

TRect TEditorEngine::ClampRange(TRect R) const
{
    // Ordered after clamping: two ends past the text may change places on it.
    const TPoint S = ClampPos(TPoint{R.Left, R.Top});
    const TPoint E = ClampPos(TPoint{R.Right, R.Bottom});
    return NormalizeRange(TRect{S.X, S.Y, E.X, E.Y});
}

bool TEditorEngine::AtStart() const { return Cursor->Y == 0 && Cursor->X == 0; }

bool TEditorEngine::AtEnd() const
{
    const TPoint C = Cursor->Pos();
    return C.Y == Strings->Count() - 1 && C.X == Strings->LineLength(C.Y);
}

bool TEditorEngine::AtLineEnd() const
{
    const TPoint C = Cursor->Pos();
    return !Strings->ValidLine(C.Y) || C.X >= Strings->LineLength(C.Y);
}

bool TEditorEngine::NextPos(TPoint& P) const
{
    if (!Strings->ValidLine(P.Y))
        return false;
    if (P.X < Strings->LineLength(P.Y)) {
        ++P.X;
        return true;
    }
    if (P.Y + 1 < Strings->Count()) {
        P = TPoint{0, P.Y + 1};
        return true;
    }
    return false;
}

bool TEditorEngine::PrevPos(TPoint& P) const
{
    if (!Strings->ValidLine(P.Y))
        return false;
    if (P.X > 0) {
        --P.X;
        return true;
    }
    if (P.Y > 0) {
        P = TPoint{Strings->LineLength(P.Y - 1), P.Y - 1};
        return true;
    }
    return false;
}

bool TEditorEngine::MovePos(TPoint& P, std::int64_t N) const
{
    // Whole stretches of a line are passed at once; the result is the same as N
    // single steps.
    if (N > 0) {
        if (!Strings->ValidLine(P.Y))
            return false;
        while (N > 0) {
            const std::int64_t Len = Strings->LineLength(P.Y);
            if (P.X < Len) {
                const std::int64_t Step = std::min(N, Len - P.X);
                P.X += Step;
                N -= Step;
            } else if (P.Y + 1 < Strings->Count()) {
                P = TPoint{0, P.Y + 1};
                --N;
            } else {
                return false;
            }
        }
    } else {
        if (!Strings->ValidLine(P.Y))
            return N == 0;
        while (N < 0) {
            if (P.X > 0) {
                const std::int64_t Step = std::min(-N, P.X);
                P.X -= Step;
                N += Step;
            } else if (!PrevPos(P)) {
                return false;
            } else {
                ++N;
            }
        }
    }
    return true;
}

TPoint TEditorEngine::NextPosOf(TPoint P) const
{
    NextPos(P);
    return P;
}

TPoint TEditorEngine::PrevPosOf(TPoint P) const
{
    PrevPos(P);
    return P;
}

TPoint TEditorEngine::LineStartBefore(TPoint P) const
{
    if (P.X > 0)
        return TPoint{0, P.Y};
    if (P.Y > 0)
        return TPoint{0, P.Y - 1};
    return TPoint{0, 0};
}

std::int64_t TEditorEngine::PosToOffset(TPoint P) const
{
    const TEditBuffer& B = *Strings;
    TEditBuffer::TReadLock Lock(B);
    if (!Lock.Owns())
        return -1;
    if (!B.ValidLine(P.Y) || P.X < 0 || P.X > B.LineLength(P.Y))
        return -1;
    return B.OffsetOfLine(P.Y, 2) + P.X;
}

std::int64_t TEditorEngine::CharsAfterPos(TPoint P) const
{
    const TEditBuffer& B = *Strings;
    TEditBuffer::TReadLock Lock(B);
    if (!Lock.Owns())
        return -1;
    if (!B.ValidLine(P.Y) || P.X < 0 || P.X > B.LineLength(P.Y))
        return -1;
    return B.TextLength(1) - B.OffsetOfLine(P.Y, 1) - P.X;
}

// The cursor is read under the lock too, so that a cursor moved by a change is
// never paired with the lines from before that change.
std::int64_t TEditorEngine::CursorOffset() const
{
    TEditBuffer::TReadLock Lock(*Strings);
    return Lock.Owns() ? PosToOffset(Cursor->Pos()) : -1;
}

std::int64_t TEditorEngine::CharsAfterCursor() const
{
    TEditBuffer::TReadLock Lock(*Strings);
    return Lock.Owns() ? CharsAfterPos(Cursor->Pos()) : -1;
}

void TEditorEngine::OffsetToPos(std::int64_t N, TPoint& P) const
{
    P = TPoint{-1, -1};
    std::int64_t Start = 0;
    const std::int64_t Y = Strings->LineAtOffset(N, 1, Start);
    if (Y >= 0)
        P = TPoint{std::min(N - Start, Strings->LineLength(Y)), Y};
}

namespace {

// Characters of an ordered, clamped stream range with each line end counting EndSize.
std::int64_t RangeSize(const TEditBuffer& B, TRect R, std::int64_t EndSize)
{
    if (R.Top == R.Bottom)
        return R.Right - R.Left;
    if (R.Bottom - R.Top > 64)
        return B.OffsetOfLine(R.Bottom, EndSize) + R.Right - B.OffsetOfLine(R.Top, EndSize) - R.Left;
    std::int64_t Sum = B.LineLength(R.Top) - R.Left + EndSize;
    for (std::int64_t Y = R.Top + 1; Y < R.Bottom; ++Y)
        Sum += B.LineLength(Y) + EndSize;
    return Sum + R.Right;
}

}  // namespace

std::int64_t TEditorEngine::RangeLength(TRect R) const { return RangeSize(*Strings, ClampRange(R), 1); }

std::int64_t TEditorEngine::StreamLength(TRect R) const { return RangeSize(*Strings, ClampRange(R), 2); }

std::int64_t TEditorEngine::BlockLength(TRect R) const
{
    const std::int64_t Width = R.Right >= R.Left ? R.Right - R.Left : R.Left - R.Right;
    const std::int64_t Height = (R.Bottom >= R.Top ? R.Bottom - R.Top : R.Top - R.Bottom) + 1;
    return Width * Height;
}

std::int64_t TEditorEngine::MarkedLength() const
{
    const TRect R = HighLight->Range();
    return Cursor->ColumnBlock ? BlockLength(R) : StreamLength(R);
}

bool TEditorEngine::CharBefore(TPoint P, char& C) const
{
    if (!Strings->ValidLine(P.Y) || P.X < 0 || P.X > Strings->LineLength(P.Y))
        return false;
    if (P.X == 0) {
        if (P.Y == 0)
            return false;
        C = '\r';
        return true;
    }
    C = (*Strings)[P.Y][static_cast<std::size_t>(P.X - 1)];
    return true;
}

bool TEditorEngine::CharAfter(TPoint P, char& C) const { return NextPos(P) && CharBefore(P, C); }

char TEditorEngine::CharAtCursor() const
{
    char C = 0;
    return CharAfter(Cursor->Pos(), C) ? C : '\0';
}

char TEditorEngine::CharBeforeCursor() const
{
    char C = 0;
    return CharBefore(Cursor->Pos(), C) ? C : '\0';
}

bool TEditorEngine::GetChars(bool Backward, std::int64_t N, std::string& S) const
{
    return Backward ? GetCharsBackward(N, S) : GetCharsForward(N, S);
}

bool TEditorEngine::GetCharsBackward(std::int64_t N, std::string& S) const
{
    S.clear();
    const TPoint C = ClampPos(Cursor->Pos());
    TPoint Start = C;
    const bool All = MovePos(Start, -std::max<std::int64_t>(N, 0));
    S = GetRangeText(TRect{Start.X, Start.Y, C.X, C.Y});
    return All;
}

bool TEditorEngine::GetCharsForward(std::int64_t N, std::string& S) const
{
    S.clear();
    const TPoint C = ClampPos(Cursor->Pos());
    TPoint End = C;
    const bool All = MovePos(End, std::max<std::int64_t>(N, 0));
    S = GetRangeText(TRect{C.X, C.Y, End.X, End.Y});
    return All;
}

std::string TEditorEngine::GetCurrentLine() const
{
    const std::int64_t Y = Cursor->Y;
    return Strings->ValidLine(Y) ? std::string((*Strings)[Y]) : std::string();
}

std::string TEditorEngine::LeadingWhite(const std::string& S)
{
    std::size_t I = 0;
    while (I < S.size() && (S[I] == ' ' || S[I] == '\t'))
        ++I;
    return S.substr(0, I);
}

bool TEditorEngine::ToggleCaseString(std::string& S)
{
    bool Letter = false;
    for (char& Ch : S) {
        const auto C = static_cast<unsigned char>(Ch);
        if (IsUpper(C)) {
            Ch = static_cast<char>(LowCaseChar(C));
            Letter = true;
        } else if (IsLower(C)) {
            Ch = static_cast<char>(UpCaseChar(C));
            Letter = true;
        }
    }
    return Letter;
}

}  // namespace narvo

