// The lines one open undo group has changed, with their text from before the group.
// A group too large for the undo ring (a command-line run or a Replace All over a
// large text) is kept as one replacement of these lines, so that one undo gives back
// the text exactly as it was and one redo the group's result. Lines between changed
// ones are not copied until a change reaches them or the group is kept whole: a
// group that changes a few far-apart lines holds little more than those lines.
#pragma once

#include "engine/UndoRing.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace narvo {

class TEditBuffer;

class TChangedSpan {
public:
    // Starts watching with nothing changed; the cursor is where the group began.
    void Start(TPoint Cursor);
    // Stops watching and frees what was kept.
    void Stop();
    bool Active() const { return FActive; }
    // The old text could not be kept (the memory ran out, or the whole text was
    // replaced): the group cannot be given back whole.
    bool Lost() const { return FLost; }
    TPoint StartCursor() const { return FCursor; }

    // Before lines A..B-1 of Buf change (A = B: lines go in before line A); A < 0:
    // the whole text is replaced.
    void Changing(const TEditBuffer& Buf, std::int64_t A, std::int64_t B) noexcept;
    // After the lines Changing was told of were replaced by M lines.
    void Changed(std::int64_t A, std::int64_t B, std::int64_t M) noexcept;

    bool Empty() const { return FPieces.empty(); }
    // The span as lines of the text now: First() .. First() + NewLines() - 1; it held
    // OldLines() lines before the group.
    std::int64_t First() const { return FFirst; }
    std::int64_t NewLines() const { return FNewLines; }
    std::int64_t OldLines() const { return FOldLines; }
    // Takes in an untouched neighbour line where the span holds no line before or
    // after the group, so that both can be written as text.
    void Widen(const TEditBuffer& Buf);
    // The bytes OldText builds, about.
    std::int64_t OldBytes(const TEditBuffer& Buf) const;
    // The span's lines from before the group, joined by CR; Crs names the CRs that
    // are characters of their lines. The span stops: what it kept goes as it is
    // copied. May throw std::bad_alloc (the span is then of no use: Stop it).
    std::string TakeOldText(const TEditBuffer& Buf, TCharCrs& Crs);

    // Untouched stretches of at most this many lines between changed ones are taken
    // in, so that a group of changes a few lines apart stays one piece.
    static constexpr std::int64_t MergeLines = 64;

private:
    // Old lines joined by CR (at least one line), with the offsets of the CRs in it
    // that are characters of their lines.
    struct TOldText {
        std::string Text;
        std::vector<std::int64_t> Crs;
    };
    struct TPiece {
        std::int64_t NewLines = 0;
        std::int64_t OldLines = 0;  // equal to NewLines for an untouched piece
        bool Touched = false;
        // Touched: its old lines, in order, in parts joined by CR. Small parts are
        // joined as they come, so that neither end costs a copy of the whole.
        std::deque<TOldText> Old;
    };
    // Lines A..B-1 of the text now joined by CR, appended to Out; the CRs inside
    // them go to Crs by their offsets in Out.
    static void AppendLines(const TEditBuffer& Buf, std::int64_t A, std::int64_t B, std::string& Out,
                            std::vector<std::int64_t>& Crs);
    // Lines A..B-1 of the text now (B > A).
    static TOldText ReadLines(const TEditBuffer& Buf, std::int64_t A, std::int64_t B);
    static void PushBack(TPiece& P, TOldText&& T);
    static void PushFront(TPiece& P, TOldText&& T);
    // Right's lines after Left's, into Left (the larger part is not copied).
    static void Join(TPiece& Left, TPiece&& Right);
    // Piece I (untouched) as a touched one.
    void Touch(const TEditBuffer& Buf, std::size_t I, std::int64_t Start);
    // The piece holding line Y, and its first line; FPieces.size() past the end.
    std::size_t Find(std::int64_t Y, std::int64_t& Start) const;
    // Lines A..B-1 (or the place before A) made part of one touched piece, which
    // the finger then points at.
    void Work(const TEditBuffer& Buf, std::int64_t A, std::int64_t B);
    void Lose();

    bool FActive = false;
    bool FLost = false;
    TPoint FCursor;
    std::deque<TPiece> FPieces;
    std::int64_t FFirst = 0;
    std::int64_t FNewLines = 0;
    std::int64_t FOldLines = 0;
    // The piece the last change went to, and its first line: changes mostly follow
    // one another through the text.
    std::size_t FAt = 0;
    std::int64_t FAtLine = 0;
};

}  // namespace narvo
