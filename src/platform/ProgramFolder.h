// The program's folder: the read-only files that ship with the program (dictionary,
// help, fonts). Installed, they are in share/narvo beside the executable's bin
// folder; run from the build tree, the source tree's resources/ folder is used.
// An installed program never falls back to the source tree.
#pragma once

#include <string>

namespace narvo {

// The folder's path (file-system bytes), without a trailing '/'.
std::string ProgramFolder();

}  // namespace narvo
