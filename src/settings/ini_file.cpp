#include "settings/ini_file.h"

#include <cerrno>
#include <cstring>

#include "settings/whole_file.h"
#include "text/characters.h"
#include "text/conversion.h"

namespace quorvel {
namespace {

using text::Codeset;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view trimmed(std::string_view s)
{
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

bool sameName(std::string_view a, std::string_view b, Codeset codeset)
{
    return a.size() == b.size() && text::foldedAsciiCase(a, codeset) == text::foldedAsciiCase(b, codeset);
}

// Where a section, and a key inside it, stand in an INI text.
struct Location {
    bool sectionFound = false;
    // End of the content (before the line end) and end of the line, of the last non-blank
    // line of the section (its header at least).
    std::size_t lastLineContentEnd = 0;
    std::size_t lastLineEnd = 0;
    bool keyFound = false;
    std::size_t valueBegin = 0; // just after the "="
    std::size_t valueEnd = 0;   // end of the line's content
};

Location locate(std::string_view iniText, std::string_view section, std::string_view key, Codeset codeset)
{
    Location where;
    std::size_t pos = iniText.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    bool inSection = false;
    while (pos < iniText.size()) {
        const std::size_t newline = iniText.find('\n', pos);
        const std::size_t lineEnd = newline == std::string_view::npos ? iniText.size() : newline + 1;
        std::size_t contentEnd = newline == std::string_view::npos ? iniText.size() : newline;
        if (contentEnd > pos && newline != std::string_view::npos && iniText[contentEnd - 1] == '\r')
            --contentEnd;
        const std::string_view content = iniText.substr(pos, contentEnd - pos);
        const std::size_t indent = content.find_first_not_of(kBlanks);

        if (indent != std::string_view::npos && content[indent] == '[') {
            const std::size_t close = text::findText(content, "]", codeset, indent + 1);
            if (close != std::string_view::npos) {
                if (inSection)
                    break; // only the first section of the name counts
                const std::string_view name = trimmed(content.substr(indent + 1, close - indent - 1));
                if (sameName(name, section, codeset)) {
                    inSection = true;
                    where.sectionFound = true;
                    where.lastLineContentEnd = contentEnd;
                    where.lastLineEnd = lineEnd;
                }
                pos = lineEnd;
                continue;
            }
            // A "[" line without "]" is no header; the section goes on past it.
        }
        if (inSection && indent != std::string_view::npos) {
            where.lastLineContentEnd = contentEnd;
            where.lastLineEnd = lineEnd;
            const std::size_t equals = text::findText(content, "=", codeset);
            if (equals != std::string_view::npos && sameName(trimmed(content.substr(0, equals)), key, codeset)) {
                where.keyFound = true;
                where.valueBegin = pos + equals + 1;
                where.valueEnd = contentEnd;
                return where;
            }
        }
        pos = lineEnd;
    }
    return where;
}

std::string withCheckedEntry(std::string_view iniText, std::string_view section, std::string_view key,
                             std::string_view value, Codeset codeset)
{
    const Location where = locate(iniText, section, key, codeset);
    std::string out;
    out.reserve(iniText.size() + section.size() + key.size() + value.size() + 8);
    if (where.keyFound) {
        out.append(iniText.substr(0, where.valueBegin));
        out.append(value);
        out.append(iniText.substr(where.valueEnd));
        return out;
    }
    std::string line;
    line.append(key).append("=").append(value).append(kLineEnd);
    if (where.sectionFound) {
        out.append(iniText.substr(0, where.lastLineEnd));
        if (where.lastLineEnd == where.lastLineContentEnd) // the last line of the text, without a line end
            out.append(kLineEnd);
        out.append(line);
        out.append(iniText.substr(where.lastLineEnd));
        return out;
    }
    out.append(iniText);
    const std::string_view body = iniText.starts_with(kByteOrderMark) ? iniText.substr(kByteOrderMark.size()) : iniText;
    if (!body.empty() && body.back() != '\n')
        out.append(kLineEnd);
    out.append("[").append(section).append("]").append(kLineEnd);
    out.append(line);
    return out;
}

std::string failure(const std::string &what, const std::string &path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

} // namespace

std::string_view trimmedIniValue(std::string_view value)
{
    return trimmed(value);
}

std::string iniEntryProblem(std::string_view section, std::string_view key, std::string_view value)
{
    constexpr std::string_view kBreakers("\r\n\0", 3);
    if (section.empty())
        return "the section name is empty";
    if (key.empty())
        return "the key name is empty";
    if (section.find_first_of(kBreakers) != std::string_view::npos || section.find(']') != std::string_view::npos)
        return "the section name holds a line break, a zero byte or \"]\"";
    if (key.find_first_of(kBreakers) != std::string_view::npos || key.find('=') != std::string_view::npos)
        return "the key name holds a line break, a zero byte or \"=\"";
    if (trimmed(section) != section || trimmed(key) != key)
        return "a name has spaces at its ends";
    if (key.front() == '[')
        return "the key name starts with \"[\"";
    if (value.find_first_of(kBreakers) != std::string_view::npos)
        return "the value holds a line break or a zero byte";
    return {};
}

std::optional<std::string> findIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                                        Codeset codeset)
{
    const Location where = locate(iniText, section, key, codeset);
    if (!where.keyFound)
        return std::nullopt;
    return std::string(trimmed(iniText.substr(where.valueBegin, where.valueEnd - where.valueBegin)));
}

std::string withIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                         std::string_view value, Codeset codeset)
{
    if (!iniEntryProblem(section, key, value).empty())
        return std::string(iniText);
    return withCheckedEntry(iniText, section, key, value, codeset);
}

std::string readIniText(const std::string &path)
{
    const std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes)
        return {};
    return text::fromProgramFile(*bytes, text::systemCodeset());
}

std::string readIniValue(const std::string &path, std::string_view section, std::string_view key)
{
    return findIniValue(readIniText(path), section, key, text::systemCodeset()).value_or(std::string());
}

std::string writeIniValue(const std::string &path, std::string_view section, std::string_view key,
                          std::string_view value)
{
    return writeIniValues(path, section, {{std::string(key), std::string(value)}});
}

std::string writeIniValues(const std::string &path, std::string_view section,
                           const std::vector<std::pair<std::string, std::string>> &keysAndValues)
{
    for (const auto &[key, value] : keysAndValues) {
        const std::string problem = iniEntryProblem(section, key, value);
        if (!problem.empty())
            return "cannot store " + key + " in " + path + ": " + problem;
    }
    const std::optional<std::string> old = readWholeFile(path);
    if (!old && errno != ENOENT)
        return failure("cannot read", path);
    const Codeset codeset = text::systemCodeset();
    std::string content = old ? text::fromProgramFile(*old, codeset) : std::string();
    for (const auto &[key, value] : keysAndValues)
        content = withCheckedEntry(content, section, key, value, codeset);
    if (old && content == *old)
        return {};
    return writeWholeFileAtomically(path, content);
}

} // namespace quorvel
