#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/codeset.h"

namespace quorvel {

// The keyword box as a search rewrites it: every line that holds something besides
// half-width spaces and the codeset's full-width space, unchanged (spaces, tabs and
// duplicates kept), in line order, each followed by CR LF (the last one too). Blank and
// space-only lines are dropped. Lines may end in CR LF or in LF alone.
std::string normaliseKeywordText(std::string_view boxText, text::Codeset codeset);

// The lines of a keyword text: cut at every line break (CR LF, or LF alone), the text before
// each break being a line even when empty, the text after the last break a line only when it
// is not empty. An empty text has no lines. For a normalised text these are the keywords.
std::vector<std::string> keywordLinesOf(std::string_view text, text::Codeset codeset);

} // namespace quorvel
