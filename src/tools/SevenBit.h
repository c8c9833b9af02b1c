// "Convert 8-bits To 7-bits": every byte of 128 or more (Windows-1252) becomes a
// short plain-ASCII text ("é" gives "e", "©" gives "(c)", "°" gives "degrees");
// bytes below 128, line breaks included, pass unchanged.
#pragma once

#include "engine/LongStep.h"

#include <string>
#include <string_view>

namespace narvo {

class TEditorEngine;

std::string CharTo7Bit(unsigned char C);
// With Step, "" once the step stops it.
std::string StringTo7Bit(std::string_view S, TLongStep* Step = nullptr);
// The pane's highlighted text replaced by its 7-bit form, as one undo step; nothing
// happens without a highlight.
void ConvertSelectionTo7Bit(TEditorEngine& Pane);

}  // namespace narvo
