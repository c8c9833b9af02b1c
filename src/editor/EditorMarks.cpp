// The highlight as the mouse sets it: words, lines and paragraphs, and the hit test
// of a point against the highlight. Extending from the anchor and the scoop events
// belong to the text model.
#include "editor/ScrollEditor.h"

#include "shared/CharClass.h"

#include <algorithm>

namespace narvo {

namespace {

bool BlankLine(std::string_view S)
{
    return std::all_of(S.begin(), S.end(), [](char C) { return C == ' ' || C == '\t'; });
}

}  // namespace

void TScrollEditor::CursorToMarkStart()
{
    const TRect R = NormalizeRange(HighLight->Range());
    Cursor->SetPos(TPoint{R.Left, R.Top});
}

void TScrollEditor::CursorToMarkEnd()
{
    const TRect R = NormalizeRange(HighLight->Range());
    Cursor->SetPos(TPoint{R.Right, R.Bottom});
}

void TScrollEditor::GetWordBounds(TPoint P, TRect& R) const
{
    P = ClampPos(P);
    const std::string_view L = (*Strings)[P.Y];
    const auto Len = static_cast<std::int64_t>(L.size());
    if (Len == 0) {
        R = TRect{P.X, P.Y, P.X, P.Y};
        return;
    }
    // Beyond the line's ends a space stands as neighbour.
    auto At = [&](std::int64_t I) -> unsigned char {
        return I < 0 || I >= Len ? ' ' : static_cast<unsigned char>(L[static_cast<std::size_t>(I)]);
    };
    // A character belongs to the word only when neither neighbour makes it a
    // delimiter (an apostrophe counts as a letter only between letters).
    auto InWord = [&](std::int64_t I) {
        return !IsWordDelimiter(At(I), At(I - 1), HyphenInWords) && !IsWordDelimiter(At(I), At(I + 1), HyphenInWords);
    };
    std::int64_t Start = P.X;
    while (Start > 0 && InWord(Start - 1))
        --Start;
    std::int64_t End = P.X;
    while (End < Len && InWord(End))
        ++End;
    R = TRect{Start, P.Y, End, P.Y};
}

void TScrollEditor::GetWordAtCursorBounds(TRect& R) const { GetWordBounds(Cursor->Pos(), R); }

void TScrollEditor::GetWordAtCursor(std::string& S) const
{
    TRect R;
    GetWordAtCursorBounds(R);
    S = GetRangeText(R);
}

void TScrollEditor::MarkWordAtCursor()
{
    ClearMark();
    TRect R;
    GetWordAtCursorBounds(R);
    SetStreamHighlight(TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom});
    WordMarked = true;
}

void TScrollEditor::MarkLine()
{
    const std::int64_t Y = std::clamp<std::int64_t>(Cursor->Y.load(), 0, Strings->Count() - 1);
    SetStreamHighlight(TPoint{0, Y}, TPoint{Strings->LineLength(Y), Y});
}

void TScrollEditor::MarkParagraph()
{
    const std::int64_t Y = std::clamp<std::int64_t>(Cursor->Y.load(), 0, Strings->Count() - 1);
    std::int64_t First = Y, Last = Y;
    if (!BlankLine((*Strings)[Y])) {
        while (First > 0 && !BlankLine((*Strings)[First - 1]))
            --First;
        while (Last + 1 < Strings->Count() && !BlankLine((*Strings)[Last + 1]))
            ++Last;
    }
    SetStreamHighlight(TPoint{0, First}, TPoint{Strings->LineLength(Last), Last});
}

bool TScrollEditor::PointInMark(std::int64_t X, std::int64_t Y, bool ClickTest) const
{
    if (HighLight->Empty())
        return false;
    const TRect H = NormalizeRange(HighLight->Range());
    const TPoint Start{DisplayColumn(TPoint{H.Left, H.Top}, true), H.Top};
    const TPoint End{DisplayColumn(TPoint{H.Right, H.Bottom}, true), H.Bottom};
    const TPoint Q = PixelToDisplayPos(X, Y);
    if (ComparePos(Q, Start) < 0 || ComparePos(Q, End) > 0)
        return false;
    if (ClickTest && H.Top != H.Bottom && Strings->ValidLine(Q.Y) &&
        Q.X > DisplayColumn(TPoint{Strings->LineLength(Q.Y), Q.Y}, false))
        return false;
    return true;
}

}  // namespace narvo
