// The host's plain defaults and the program's one host (see CommandHost.h).
#include "language/CommandHost.h"

#include "shared/CharClass.h"

namespace narvo {

namespace {
TCommandHost* GHost = nullptr;
}

TCommandHost* CommandHost() { return GHost; }
void SetCommandHost(TCommandHost* Host) { GHost = Host; }

bool TCommandHost::WordAtCursorBounds(TEditorEngine& Pane, TRect& R)
{
    // The pane's own word rule: a character belongs to the word unless one of
    // its neighbours makes it a delimiter.
    const TPoint P = Pane.ClampPos(Pane.Cursor->Pos());
    const std::string_view L = (*Pane.Strings)[P.Y];
    const auto Len = static_cast<std::int64_t>(L.size());
    auto At = [&](std::int64_t I) -> unsigned char {
        return I < 0 || I >= Len ? ' ' : static_cast<unsigned char>(L[static_cast<std::size_t>(I)]);
    };
    auto InWord = [&](std::int64_t I) {
        return !IsWordDelimiter(At(I), At(I - 1), false) && !IsWordDelimiter(At(I), At(I + 1), false);
    };
    std::int64_t Start = P.X, End = P.X;
    while (Start > 0 && InWord(Start - 1))
        --Start;
    while (End < Len && InWord(End))
        ++End;
    R = TRect{Start, P.Y, End, P.Y};
    return true;
}

}  // namespace narvo
