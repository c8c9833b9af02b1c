// Errors of reading and writing an editor's text files. A file that cannot be read
// or written throws EFileError (from the platform layer) naming the file and the
// reason; a text that would not be written back as it was read (UTF-16 characters
// read as '?', line ends unlike the text's usual one) throws ELossyText until the
// caller confirms.
#pragma once

#include "platform/posix/SafeFile.h"

namespace narvo {

class ELossyText : public EFileError {
public:
    using EFileError::EFileError;
};

}  // namespace narvo
