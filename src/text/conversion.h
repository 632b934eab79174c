#pragma once

#include <string>
#include <string_view>

#include "text/codeset.h"

namespace quorvel::text {

// Turns bytes in the codeset into valid UTF-8 for showing: every byte that is not part of a
// valid character becomes U+FFFD. Only for display: a path shown this way is never turned
// back into a path; rows keep their original bytes for every action.
std::string toDisplayUtf8(std::string_view bytes, Codeset codeset);

// Turns UTF-8 typed or chosen by the user into bytes of the codeset. Characters that the
// codeset cannot hold become '?'.
std::string fromUtf8(std::string_view utf8, Codeset codeset);

// True when the bytes are valid UTF-8 throughout.
bool isValidUtf8(std::string_view bytes);

// Reads a file of the program's own (settings, keyword text, folder list) into the
// codeset: a file that an older Windows copy wrote in GBK is not valid UTF-8 and is
// decoded as GBK when the codeset is UTF-8.
std::string fromProgramFile(std::string_view bytes, Codeset codeset);

} // namespace quorvel::text
