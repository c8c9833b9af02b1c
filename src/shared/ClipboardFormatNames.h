// Display names of the standard clipboard format numbers, for the clipboard viewer.
// Registered formats are named by the platform layer's format registry.
#pragma once

#include <string>

namespace narvo {

// The fixed name of Format ("Text", "Private" for 512 to 767, "GDI Object" for 768
// to 1023...); Known is false, and the result empty, for any other number.
std::string StandardClipboardFormatName(int Format, bool& Known);

}  // namespace narvo
