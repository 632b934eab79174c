#pragma once

#include <string>
#include <string_view>

// The keyword text kept between runs in filemame.txt of the program's folder: the keyword
// box's whole text, byte for byte in the system codeset, with no byte-order mark and no
// terminating zero byte.
namespace quorvel {

inline constexpr std::string_view kKeywordsFileName = "filemame.txt";

// The saved text up to its first zero byte, in the system codeset (a file an older Windows
// copy wrote in GBK is decoded when the codeset is UTF-8). Line ends are kept as stored
// (CR LF, or LF from a Linux editor): the window turns them into its own. A missing or
// unreadable file reads as the empty text.
std::string readSavedKeywords(const std::string &folder);

// Replaces folder/filemame.txt atomically with exactly these bytes (the folder must exist:
// see ensureProgramFolder); an empty text gives an empty file. Returns the empty text on
// success, else why the old file was left as it was.
std::string writeSavedKeywords(const std::string &folder, std::string_view text);

} // namespace quorvel
