#include "text/characters.h"

#include <cstring>

namespace quorvel::text {
namespace {

inline unsigned char byteAt(std::string_view text, std::size_t pos)
{
    return static_cast<unsigned char>(text[pos]);
}

inline bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

std::size_t utf8Length(std::string_view text, std::size_t pos)
{
    const unsigned char lead = byteAt(text, pos);
    if (lead < 0x80)
        return 1;
    std::size_t need;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        if (lead == 0xE0)
            lo = 0xA0;
        else if (lead == 0xED)
            hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        if (lead == 0xF0)
            lo = 0x90;
        else if (lead == 0xF4)
            hi = 0x8F;
    } else {
        return 1;
    }
    if (pos + need >= text.size())
        return 1;
    const unsigned char first = byteAt(text, pos + 1);
    if (first < lo || first > hi)
        return 1;
    for (std::size_t i = 2; i <= need; ++i) {
        if (!isContinuation(byteAt(text, pos + i)))
            return 1;
    }
    return need + 1;
}

inline bool isGbkLead(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}

std::size_t gbkLength(std::string_view text, std::size_t pos)
{
    const unsigned char lead = byteAt(text, pos);
    if (!isGbkLead(lead) || pos + 1 >= text.size())
        return 1;
    const unsigned char second = byteAt(text, pos + 1);
    if (second >= 0x40 && second <= 0xFE && second != 0x7F)
        return 2;
    if (second >= 0x30 && second <= 0x39 && pos + 3 < text.size() && isGbkLead(byteAt(text, pos + 2)) &&
        byteAt(text, pos + 3) >= 0x30 && byteAt(text, pos + 3) <= 0x39)
        return 4;
    return 1;
}

// Compares needle against text at pos, ASCII letters without regard to case.
bool equalsIgnoringCaseAt(std::string_view text, std::size_t pos, std::string_view needle)
{
    for (std::size_t i = 0; i < needle.size(); ++i) {
        unsigned char a = byteAt(text, pos + i), b = byteAt(needle, i);
        if (a >= 'A' && a <= 'Z')
            a += 'a' - 'A';
        if (b >= 'A' && b <= 'Z')
            b += 'a' - 'A';
        if (a != b)
            return false;
    }
    return true;
}

template <typename Matches>
std::size_t scanForward(std::string_view text, std::string_view needle, Codeset codeset, std::size_t from,
                        Matches matchesAt)
{
    if (needle.size() > text.size())
        return std::string_view::npos;
    const std::size_t last = text.size() - needle.size();
    for (std::size_t pos = from; pos <= last; pos += charLength(text, pos, codeset)) {
        if (matchesAt(pos))
            return pos;
    }
    return std::string_view::npos;
}

} // namespace

std::size_t charLength(std::string_view text, std::size_t pos, Codeset codeset)
{
    return codeset == Codeset::Utf8 ? utf8Length(text, pos) : gbkLength(text, pos);
}

bool isCharBoundary(std::string_view text, std::size_t pos, Codeset codeset)
{
    if (pos == 0 || pos >= text.size())
        return true;
    if (codeset == Codeset::Utf8) {
        if (!isContinuation(byteAt(text, pos)))
            return true;
        // A lead byte is never inside another character, so the nearest one decides.
        for (std::size_t back = 1; back <= 3 && back <= pos; ++back) {
            const unsigned char b = byteAt(text, pos - back);
            if (!isContinuation(b))
                return b < 0x80 || utf8Length(text, pos - back) <= back;
        }
        return true;
    }
    std::size_t at = 0;
    while (at < pos)
        at += gbkLength(text, at);
    return at == pos;
}

std::size_t findText(std::string_view text, std::string_view needle, Codeset codeset, std::size_t from)
{
    if (needle.empty())
        return from <= text.size() ? from : std::string_view::npos;
    if (codeset == Codeset::Utf8 && !isContinuation(byteAt(needle, 0))) {
        // A match that begins with an ASCII or lead byte always starts a character.
        const std::size_t pos = text.find(needle, from);
        return pos;
    }
    return scanForward(text, needle, codeset, from, [&](std::size_t pos) {
        return std::memcmp(text.data() + pos, needle.data(), needle.size()) == 0;
    });
}

std::size_t findLastText(std::string_view text, std::string_view needle, Codeset codeset)
{
    if (codeset == Codeset::Utf8) {
        std::size_t pos = text.rfind(needle);
        while (pos != std::string_view::npos && !isCharBoundary(text, pos, codeset))
            pos = pos == 0 ? std::string_view::npos : text.rfind(needle, pos - 1);
        return pos;
    }
    std::size_t found = std::string_view::npos;
    for (std::size_t pos = findText(text, needle, codeset); pos != std::string_view::npos;) {
        found = pos;
        if (pos >= text.size())
            break;
        pos = findText(text, needle, codeset, pos + charLength(text, pos, codeset));
    }
    return found;
}

std::size_t findTextIgnoringCase(std::string_view text, std::string_view needle, Codeset codeset)
{
    if (needle.empty())
        return 0;
    return scanForward(text, needle, codeset, 0,
                       [&](std::size_t pos) { return equalsIgnoringCaseAt(text, pos, needle); });
}

std::vector<std::string_view> splitText(std::string_view text, std::string_view separator, Codeset codeset)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t at = findText(text, separator, codeset, start);
        if (at == std::string_view::npos || separator.empty())
            break;
        pieces.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    if (start < text.size())
        pieces.push_back(text.substr(start));
    return pieces;
}

void foldAsciiCase(std::string &text, Codeset codeset)
{
    for (std::size_t pos = 0; pos < text.size();) {
        unsigned char b = byteAt(text, pos);
        if (b < 0x80) {
            if (b >= 'A' && b <= 'Z')
                text[pos] = static_cast<char>(b + ('a' - 'A'));
            ++pos;
        } else {
            pos += charLength(text, pos, codeset);
        }
    }
}

std::string foldedAsciiCase(std::string_view text, Codeset codeset)
{
    std::string out(text);
    foldAsciiCase(out, codeset);
    return out;
}

bool isOnlySpaces(std::string_view text, Codeset codeset)
{
    const std::string_view wide = fullWidthSpace(codeset);
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == ' ') {
            ++pos;
        } else if (text.substr(pos, wide.size()) == wide) {
            pos += wide.size();
        } else {
            return false;
        }
    }
    return true;
}

} // namespace quorvel::text
