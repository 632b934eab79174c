#include "search/keyword_text.h"

#include "text/characters.h"

namespace quorvel {

std::vector<std::string> keywordLinesOf(std::string_view text, text::Codeset codeset)
{
    // LF never lies inside a multibyte character, so cutting at LF and dropping the CR before
    // it is the split at CR LF, with LF-only lines accepted as well.
    std::vector<std::string> lines;
    for (std::string_view piece : text::splitText(text, "\n", codeset)) {
        if (!piece.empty() && piece.back() == '\r')
            piece.remove_suffix(1);
        lines.emplace_back(piece);
    }
    return lines;
}

std::string normaliseKeywordText(std::string_view boxText, text::Codeset codeset)
{
    std::string out;
    for (std::string_view piece : text::splitText(boxText, "\n", codeset)) {
        if (!piece.empty() && piece.back() == '\r')
            piece.remove_suffix(1);
        if (text::isOnlySpaces(piece, codeset))
            continue;
        out.append(piece);
        out.append("\r\n");
    }
    return out;
}

} // namespace quorvel
