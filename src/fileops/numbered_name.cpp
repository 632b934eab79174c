#include "fileops/numbered_name.h"

#include <array>

namespace quorvel {
namespace {

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool isTarCompression(std::string_view extension)
{
    if (extension == "Z")
        return true;
    constexpr std::array<std::string_view, 7> known{"gz", "bz2", "xz", "zst", "lz", "lzma", "lz4"};
    for (std::string_view k : known) {
        if (equalsIgnoringAsciiCase(extension, k))
            return true;
    }
    return false;
}

} // namespace

std::size_t extensionStart(std::string_view name)
{
    const std::size_t firstNonDot = name.find_first_not_of('.');
    if (firstNonDot == std::string_view::npos)
        return std::string_view::npos;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot <= firstNonDot || dot + 1 == name.size())
        return std::string_view::npos;
    if (isTarCompression(name.substr(dot + 1)) && dot >= 4) {
        const std::size_t tarDot = dot - 4;
        if (tarDot > firstNonDot && equalsIgnoringAsciiCase(name.substr(tarDot, 4), ".tar"))
            return tarDot;
    }
    return dot;
}

std::string numberedName(std::string_view name, unsigned number, bool isFolder)
{
    const std::size_t split = isFolder ? std::string_view::npos : extensionStart(name);
    const std::string_view base = name.substr(0, split);
    const std::string_view extension = split == std::string_view::npos ? std::string_view() : name.substr(split);
    std::string result;
    result.reserve(name.size() + 8);
    result.append(base);
    result.append(" (");
    result.append(std::to_string(number));
    result.append(")");
    result.append(extension);
    return result;
}

} // namespace quorvel
