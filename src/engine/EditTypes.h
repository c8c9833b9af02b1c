// The small records every editing operation shares: the status code an operation
// leaves for the command language, the cursor and highlight objects, the editor
// styles and keyboard modes, the scoop commands and the live modifier state the
// engine asks its widget about.
#pragma once

#include "shared/Geometry.h"

#include <atomic>
#include <cstdint>

namespace narvo {

// The outcome of the last operation; the command layer turns it into a message.
enum TEditStatus : std::uint8_t {
    edDone = 0,
    edNotFound = 1,
    edAtStart = 2,
    edAtEnd = 3,
    edNothingToUndo = 4,
    edNothingToRedo = 5,
    edBadPosition = 6,
    edNothingChanged = 7,
};

enum TEditorStyle : std::uint8_t { esSingleLine, esMultiLine };

enum TKeyMapping : std::uint8_t { kmDefault, kmNRV, kmNRVLite, kmNoMap };

enum TScoopCommand : std::uint8_t { scmBackward = 0, scmForward = 1, scmStop = 2 };

// The modifier keys held at the moment an operation acts.
struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

// The cursor of one editor. The status thread reads X and Y while the user-interface
// thread moves the cursor, so both are atomic: a reader never sees a torn number,
// and a pair read during a move is one the cursor really passed through.
struct TCursorObject {
    std::atomic<std::int64_t> X{0};
    std::atomic<std::int64_t> Y{0};
    bool ColumnBlock = false;

    TCursorObject() = default;
    TCursorObject(const TCursorObject&) = delete;
    TCursorObject& operator=(const TCursorObject&) = delete;

    TPoint Pos() const { return TPoint{X.load(), Y.load()}; }
    void SetPos(TPoint P)
    {
        Y = P.Y;
        X = P.X;
    }
};

// The highlight (mark); empty when the two positions are equal.
struct THighLight {
    bool Found = false;
    TPoint StartPos;
    TPoint EndPos;

    bool Empty() const { return StartPos == EndPos; }
    TRect Range() const { return TRect{StartPos.X, StartPos.Y, EndPos.X, EndPos.Y}; }
};

}  // namespace narvo
