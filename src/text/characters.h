#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/codeset.h"

namespace quorvel::text {

// Length in bytes (1 to 4) of the character that starts at text[pos]. In UTF-8 a lead byte
// and its continuation bytes form one character when the sequence is valid; any byte that
// does not fit a valid sequence is a character of its own. In GBK a byte 0x81-0xFE followed
// by a trail byte (0x40-0xFE but 0x7F) is one character, and so is a GB18030 four-byte
// sequence. pos must be below text.size().
std::size_t charLength(std::string_view text, std::size_t pos, Codeset codeset);

// True when a character of `text` starts at pos (pos == text.size() counts as a boundary).
// UTF-8 answers by looking back at most three bytes; GBK has to scan from the start,
// since its trail bytes overlap its lead bytes.
bool isCharBoundary(std::string_view text, std::size_t pos, Codeset codeset);

// The first occurrence of needle in text at or after `from` that starts a character, or
// npos. An empty needle is found at `from`. `from` must be a character boundary.
std::size_t findText(std::string_view text, std::string_view needle, Codeset codeset, std::size_t from = 0);

// The last occurrence of needle in text that starts a character, or npos.
std::size_t findLastText(std::string_view text, std::string_view needle, Codeset codeset);

// As findText, with the ASCII letters of both sides compared without regard to case.
std::size_t findTextIgnoringCase(std::string_view text, std::string_view needle, Codeset codeset);

// Cuts text at every occurrence of separator (at character boundaries, from the left):
// the text before each separator is a piece, also when empty; the text after the last
// separator is a piece only when it is not empty; an empty text gives no pieces.
std::vector<std::string_view> splitText(std::string_view text, std::string_view separator, Codeset codeset);

// Changes the ASCII letters A-Z to a-z and nothing else, stepping over multibyte
// characters whole (a GBK trail byte in A-Z keeps its case).
void foldAsciiCase(std::string &text, Codeset codeset);
std::string foldedAsciiCase(std::string_view text, Codeset codeset);

// True when text contains nothing but half-width and full-width spaces (or nothing).
bool isOnlySpaces(std::string_view text, Codeset codeset);

} // namespace quorvel::text
