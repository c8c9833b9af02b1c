// Raw reads and changes of the text at the cursor or over a range. They record no
// undo and do not redraw; the editing operations and the undo execution build on
// them. Every change is one splice of the line vector inside one update bracket, so
// deleting or inserting many lines costs one move of the line table, and the
// status thread never sees a half-made change. Ranges are clamped to the text, and a
// cursor past a line end (column-block mode) acts at the line end. Each change is
// strong: what it needs is allocated before the lines change, so a change the memory
// cannot hold leaves the text as it was.
#include "engine/EditorEngine.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace narvo {

void TEditorEngine::ClampCursor() { Cursor->SetPos(ClampPos(Cursor->Pos())); }

std::string TEditorEngine::GetRangeText(TRect R) const
{
    R = ClampRange(R);
    const TEditBuffer& B = *Strings;
    if (R.Top == R.Bottom)
        return std::string(B[R.Top].substr(static_cast<std::size_t>(R.Left), static_cast<std::size_t>(R.Right - R.Left)));
    std::string S;
    S.reserve(static_cast<std::size_t>(RangeLength(R)));
    S.append(B[R.Top], static_cast<std::size_t>(R.Left));
    for (std::int64_t Y = R.Top + 1; Y < R.Bottom; ++Y) {
        S.push_back('\r');
        S.append(B[Y]);
    }
    S.push_back('\r');
    S.append(B[R.Bottom], 0, static_cast<std::size_t>(R.Right));
    return S;
}

TCharCrs TEditorEngine::CharCrsIn(TRect R) const
{
    R = ClampRange(R);
    const TEditBuffer& B = *Strings;
    TCharCrs C;
    if (R.Top == R.Bottom)
        return TCharCrs::InLine(B[R.Top].substr(static_cast<std::size_t>(R.Left), static_cast<std::size_t>(R.Right - R.Left)));
    std::int64_t Offset = 0;
    auto Scan = [&](std::string_view Part) {
        for (std::size_t I = Part.find('\r'); I != std::string_view::npos; I = Part.find('\r', I + 1))
            C.At.push_back(Offset + static_cast<std::int64_t>(I));
        Offset += static_cast<std::int64_t>(Part.size()) + 1;
    };
    Scan(B[R.Top].substr(static_cast<std::size_t>(R.Left)));
    for (std::int64_t Y = R.Top + 1; Y < R.Bottom; ++Y)
        Scan(B[Y]);
    Scan(B[R.Bottom].substr(0, static_cast<std::size_t>(R.Right)));
    if (!C.At.empty())
        C.Which = TCharCrs::Listed;
    return C;
}

std::string TEditorEngine::JoinLineRange(std::int64_t First, std::int64_t Last, bool WithLF) const
{
    First = std::max<std::int64_t>(First, 0);
    Last = std::min<std::int64_t>(Last, Strings->Count() - 1);
    std::string S;
    for (std::int64_t Y = First; Y <= Last; ++Y) {
        S.append((*Strings)[Y]);
        S.append(WithLF ? "\r\n" : "\r");
    }
    return S;
}

std::string TEditorEngine::GetMarkedText() const
{
    if (Cursor->ColumnBlock)
        return GetBlockText(HighLight->Range());
    return GetRangeText(HighLight->Range());
}

void TEditorEngine::GetCharsAroundRange(TRect R, char& Before, char& After) const
{
    R = ClampRange(R);
    const std::string_view First = (*Strings)[R.Top];
    const std::string_view Last = (*Strings)[R.Bottom];
    Before = R.Left > 0 ? First[static_cast<std::size_t>(R.Left - 1)] : '\0';
    After = R.Right < static_cast<std::int64_t>(Last.size()) ? Last[static_cast<std::size_t>(R.Right)] : '\0';
}

std::string TEditorEngine::TextLeftOfCursor() const
{
    const TPoint C = ClampPos(Cursor->Pos());
    if (C.X > 0)
        return std::string((*Strings)[C.Y].substr(0, static_cast<std::size_t>(C.X)));
    if (C.Y > 0)
        return std::string((*Strings)[C.Y - 1]) + '\r';
    return std::string();
}

std::string TEditorEngine::TextRightOfCursor(bool WithLineEnd) const
{
    const TPoint C = ClampPos(Cursor->Pos());
    std::string S((*Strings)[C.Y].substr(static_cast<std::size_t>(C.X)));
    if (WithLineEnd && C.Y + 1 < Strings->Count())
        S.push_back('\r');
    return S;
}

void TEditorEngine::JoinWithNext(std::int64_t Y)
{
    if (Y < 0 || Y + 1 >= Strings->Count())
        return;
    const TRawChange Raw(*this);
    TEditBuffer::TUpdate U(*Strings);
    std::string& Line = Strings->MutableLine(Y);
    const std::size_t Was = Line.size();
    Line.append((*Strings)[Y + 1]);
    try {
        Strings->DeleteLines(Y + 1, Y + 1);
    } catch (...) {
        Line.resize(Was);
        throw;
    }
}

bool TEditorEngine::DeleteCharBefore()
{
    const TPoint C = ClampPos(Cursor->Pos());
    if (C.X == 0 && C.Y == 0)
        return false;
    const TRawChange Raw(*this);
    TEditBuffer::TUpdate U(*Strings);
    if (C.X > 0) {
        Strings->MutableLine(C.Y).erase(static_cast<std::size_t>(C.X - 1), 1);
        Cursor->SetPos(TPoint{C.X - 1, C.Y});
    } else {
        Cursor->SetPos(TPoint{Strings->LineLength(C.Y - 1), C.Y - 1});
        JoinWithNext(C.Y - 1);
    }
    return true;
}

bool TEditorEngine::DeleteCharAt()
{
    const TPoint C = ClampPos(Cursor->Pos());
    const std::int64_t Len = Strings->LineLength(C.Y);
    if (C.X == Len && C.Y + 1 == Strings->Count())
        return false;
    const TRawChange Raw(*this);
    TEditBuffer::TUpdate U(*Strings);
    if (C.X < Len)
        Strings->MutableLine(C.Y).erase(static_cast<std::size_t>(C.X), 1);
    else
        JoinWithNext(C.Y);
    Cursor->SetPos(C);
    return true;
}

bool TEditorEngine::DeleteBackward(std::int64_t N)
{
    const TRawChange Raw(*this);
    if (N <= 0)
        return true;
    const TPoint C = ClampPos(Cursor->Pos());
    TPoint S = C;
    const bool All = MovePos(S, -N);
    if (!(S == C))
        DeleteRange(TRect{S.X, S.Y, C.X, C.Y});
    return All;
}

bool TEditorEngine::DeleteForward(std::int64_t N)
{
    const TRawChange Raw(*this);
    if (N <= 0)
        return true;
    const TPoint C = ClampPos(Cursor->Pos());
    TPoint E = C;
    const bool All = MovePos(E, N);
    if (!(E == C))
        DeleteRange(TRect{C.X, C.Y, E.X, E.Y});
    return All;
}

bool TEditorEngine::DeleteChars(bool Backward, std::int64_t N)
{
    return Backward ? DeleteBackward(N) : DeleteForward(N);
}

bool TEditorEngine::DeleteToLineStartRaw()
{
    const TPoint C = ClampPos(Cursor->Pos());
    if (C.X == 0 && C.Y == 0)
        return false;
    const TPoint S = LineStartBefore(C);
    DeleteRange(TRect{S.X, S.Y, C.X, C.Y});
    return true;
}

bool TEditorEngine::DeleteToLineEndRaw()
{
    const TPoint C = ClampPos(Cursor->Pos());
    const bool LastLine = C.Y + 1 == Strings->Count();
    const std::int64_t Len = Strings->LineLength(C.Y);
    if (C.X == Len && LastLine)
        return false;
    const TPoint E = LastLine ? TPoint{Len, C.Y} : TPoint{0, C.Y + 1};
    DeleteRange(TRect{C.X, C.Y, E.X, E.Y});
    return true;
}

void TEditorEngine::ClearCursorLine()
{
    const std::int64_t Y = Cursor->Y;
    if (!Strings->ValidLine(Y))
        return;
    const TRawChange Raw(*this);
    TEditBuffer::TUpdate U(*Strings);
    Strings->SetLine(Y, std::string());
    Cursor->SetPos(TPoint{0, Y});
}

void TEditorEngine::DeleteLines(std::int64_t First, std::int64_t Last)
{
    const TRawChange Raw(*this);
    TEditBuffer::TUpdate U(*Strings);
    Strings->DeleteLines(First, Last);
    if (Cursor->Y >= Strings->Count())
        ClampCursor();
}

void TEditorEngine::DeleteRange(TRect R)
{
    const TRawChange Raw(*this);
    R = ClampRange(R);
    TEditBuffer::TUpdate U(*Strings);
    if (R.Top == R.Bottom) {
        if (R.Right > R.Left)
            Strings->MutableLine(R.Top).erase(static_cast<std::size_t>(R.Left), static_cast<std::size_t>(R.Right - R.Left));
    } else {
        std::string& First = Strings->MutableLine(R.Top);
        // The joined line is made first; the lines go only once it exists.
        const std::string_view Last = (*Strings)[R.Bottom];
        std::string Joined;
        Joined.reserve(static_cast<std::size_t>(R.Left) + Last.size() - static_cast<std::size_t>(R.Right));
        Joined.append(First, 0, static_cast<std::size_t>(R.Left));
        Joined.append(Last.substr(static_cast<std::size_t>(R.Right)));
        Strings->DeleteLines(R.Top + 1, R.Bottom);
        First.swap(Joined);
    }
    Cursor->SetPos(TPoint{R.Left, R.Top});
}

void TEditorEngine::DeleteMarkNoUndo()
{
    DeleteRange(HighLight->Range());
    ClearMark();
}

void TEditorEngine::FillChars(std::string& S, std::int64_t First, std::int64_t Last, char C)
{
    const auto Len = static_cast<std::int64_t>(S.size());
    if (Len == 0 || First <= 0 || First > Len)
        return;
    Last = std::min(Last, Len);
    for (std::int64_t I = First; I <= Last; ++I)
        S[static_cast<std::size_t>(I - 1)] = C;
}

void TEditorEngine::InsertAtCursor(const std::string& S)
{
    const TRawChange Raw(*this);
    const TPoint C = ClampPos(Cursor->Pos());
    if (S.empty())
        return;
    TEditBuffer::TUpdate U(*Strings);
    Strings->MutableLine(C.Y).insert(static_cast<std::size_t>(C.X), S);
    Cursor->SetPos(TPoint{C.X + static_cast<std::int64_t>(S.size()), C.Y});
}

void TEditorEngine::SplitLine()
{
    const TRawChange Raw(*this);
    const TPoint C = ClampPos(Cursor->Pos());
    TEditBuffer::TUpdate U(*Strings);
    std::string& Line = Strings->MutableLine(C.Y);
    Strings->InsertLine(C.Y + 1, Line.substr(static_cast<std::size_t>(C.X)));
    Line.resize(static_cast<std::size_t>(C.X));
    Cursor->SetPos(TPoint{0, C.Y + 1});
}

void TEditorEngine::InsertLineBreak()
{
    if (EditorStyle == esMultiLine)
        SplitLine();
    else
        InsertAtCursor("\r");
}

void TEditorEngine::InsertChar(char Ch)
{
    const TRawChange Raw(*this);
    if (Ch == '\r')
        InsertLineBreak();
    else
        InsertAtCursor(std::string(1, Ch));
}

void TEditorEngine::InsertTextRaw(const std::string& Text, bool KeepBreaks)
{
    const TRawChange Raw(*this);
    if (Text.empty())
        return;
    if (KeepBreaks) {
        InsertAtCursor(Text);
        return;
    }
    if (EditorStyle == esSingleLine) {
        // Each line break goes into the one line as a CR.
        InsertAtCursor(NormalizeLineBreaks(Text));
        return;
    }
    if (!std::memchr(Text.data(), '\r', Text.size()) && !std::memchr(Text.data(), '\n', Text.size())) {
        // One line (each line of a column paste): no list of pieces.
        InsertAtCursor(Text);
        return;
    }
    std::vector<std::string_view> Pieces;
    ForEachTextLine(Text, [&](std::string_view Piece, bool) { Pieces.push_back(Piece); });
    if (Pieces.size() == 1) {
        InsertAtCursor(Text);
        return;
    }
    const TPoint C = ClampPos(Cursor->Pos());
    TEditBuffer::TUpdate U(*Strings);
    std::string& Line = Strings->MutableLine(C.Y);
    // The new lines are copied out of Text once, the last with the tail after it;
    // the cursor line has room for its new end before any line changes.
    const std::string LastLine = std::string(Pieces.back()) + Line.substr(static_cast<std::size_t>(C.X));
    Line.reserve(static_cast<std::size_t>(C.X) + Pieces.front().size());
    const std::size_t LastCol = Pieces.back().size();
    Pieces.back() = LastLine;
    const auto Added = static_cast<std::int64_t>(Pieces.size() - 1);
    Strings->InsertLines(C.Y + 1, std::span<const std::string_view>(Pieces).subspan(1));
    Line.resize(static_cast<std::size_t>(C.X));
    Line.append(Pieces.front());
    Cursor->SetPos(TPoint{static_cast<std::int64_t>(LastCol), C.Y + Added});
}

void TEditorEngine::InsertTextKeepCursor(const std::string& Text)
{
    const TPoint P = Cursor->Pos();
    InsertTextRaw(Text, false);
    Cursor->SetPos(P);
}

}  // namespace narvo
