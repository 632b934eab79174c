#include "settings/saved_paths.h"

#include <algorithm>
#include <limits>

#include "settings/ini_file.h"
#include "settings/program_folder.h"
#include "text/characters.h"

namespace quorvel {
namespace {

using text::Codeset;

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isControl(unsigned char byte)
{
    return byte < 0x20 || byte == 0x7F;
}

// Calls emit(character, isWhole) for each character of the text; isWhole is false for a
// byte that is no valid character of the codeset.
template <typename Emit> void forEachCharacter(std::string_view text, Codeset codeset, Emit emit)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = text::charLength(text, pos, codeset);
        const std::string_view ch = text.substr(pos, length);
        emit(ch, length > 1 || static_cast<unsigned char>(ch[0]) < 0x80);
        pos += length;
    }
}

std::string escapedPath(std::string_view path, Codeset codeset)
{
    std::string out;
    out.reserve(path.size());
    forEachCharacter(path, codeset, [&](std::string_view ch, bool whole) {
        const unsigned char first = static_cast<unsigned char>(ch[0]);
        if (whole && ch.size() == 1 && (ch[0] == '%' || ch[0] == ',' || isControl(first)))
            whole = false;
        if (whole) {
            out += ch;
            return;
        }
        out += '%';
        out += kHexDigits[first >> 4];
        out += kHexDigits[first & 0x0F];
    });
    return out;
}

// The path as bxjl can hold it: bytes that would break the line or the file's codeset become "?".
std::string legacyPath(std::string_view path, Codeset codeset)
{
    std::string out;
    out.reserve(path.size());
    forEachCharacter(path, codeset, [&](std::string_view ch, bool whole) {
        const bool breaksLine = ch.size() == 1 && (ch[0] == '\r' || ch[0] == '\n' || ch[0] == '\0');
        out += whole && !breaksLine ? ch : std::string_view("?");
    });
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A gxbx piece as a decimal integer: leading blanks, a sign, then digits; no digits reads as 0.
long long legacyIndex(std::string_view piece)
{
    std::size_t pos = 0;
    while (pos < piece.size() && (piece[pos] == ' ' || piece[pos] == '\t'))
        ++pos;
    bool negative = false;
    if (pos < piece.size() && (piece[pos] == '-' || piece[pos] == '+'))
        negative = piece[pos++] == '-';
    long long value = 0;
    constexpr long long kCap = std::numeric_limits<int>::max(); // past any row; no overflow
    for (; pos < piece.size() && piece[pos] >= '0' && piece[pos] <= '9'; ++pos)
        value = std::min(kCap, value * 10 + (piece[pos] - '0'));
    return negative ? -value : value;
}

std::string savedPathsFile(const std::string &folder)
{
    return fileInFolder(folder, kSavedPathsFileName);
}

} // namespace

SavedPathKeys encodeSavedPaths(const std::vector<SavedPathRow> &rows, Codeset codeset)
{
    SavedPathKeys keys;
    std::size_t piece = 0;
    for (const SavedPathRow &row : rows) {
        const std::string path = legacyPath(row.path, codeset);
        keys.pathList += path;
        keys.pathList += ',';
        if (row.checked && path.find(',') == std::string::npos) {
            if (!keys.checkedRows.empty())
                keys.checkedRows += ',';
            keys.checkedRows += std::to_string(piece);
        }
        // "," is ASCII below any trail byte, so each one starts a new piece on reading.
        piece += 1 + static_cast<std::size_t>(std::count(path.begin(), path.end(), ','));

        keys.rows += row.checked ? '1' : '0';
        keys.rows += escapedPath(row.path, codeset);
        keys.rows += ',';
    }
    if (keys.checkedRows.empty())
        keys.checkedRows = "-1";
    return keys;
}

std::vector<SavedPathRow> decodeLegacySavedPaths(std::string_view pathList, std::string_view checkedRows,
                                                 Codeset codeset)
{
    std::vector<SavedPathRow> rows;
    for (std::string_view piece : text::splitText(pathList, ",", codeset))
        rows.push_back({std::string(piece), false});
    if (checkedRows == "-1")
        return rows;
    for (std::string_view piece : text::splitText(checkedRows, ",", codeset)) {
        const long long index = legacyIndex(piece);
        if (index >= 0 && static_cast<unsigned long long>(index) < rows.size())
            rows[static_cast<std::size_t>(index)].checked = true;
    }
    return rows;
}

std::optional<std::vector<SavedPathRow>> decodeRowsKey(std::string_view value)
{
    std::vector<SavedPathRow> rows;
    if (value.empty())
        return rows;
    if (value.back() != ',')
        return std::nullopt;
    std::size_t pos = 0;
    while (pos < value.size()) {
        const std::size_t comma = value.find(',', pos);
        const std::string_view piece = value.substr(pos, comma - pos);
        pos = comma + 1;
        if (piece.empty() || (piece[0] != '0' && piece[0] != '1'))
            return std::nullopt;
        SavedPathRow row{{}, piece[0] == '1'};
        for (std::size_t i = 1; i < piece.size(); ++i) {
            if (piece[i] != '%') {
                row.path += piece[i];
                continue;
            }
            const int high = i + 2 < piece.size() ? hexValue(piece[i + 1]) : -1;
            const int low = high >= 0 ? hexValue(piece[i + 2]) : -1;
            if (low < 0)
                return std::nullopt;
            row.path += static_cast<char>(high * 16 + low);
            i += 2;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<SavedPathRow> decodeSavedPaths(const SavedPathKeys &keys, Codeset codeset)
{
    if (!keys.rows.empty()) {
        if (std::optional<std::vector<SavedPathRow>> rows = decodeRowsKey(keys.rows)) {
            const SavedPathKeys expected = encodeSavedPaths(*rows, codeset);
            if (trimmedIniValue(expected.pathList) == trimmedIniValue(keys.pathList) &&
                expected.checkedRows == trimmedIniValue(keys.checkedRows))
                return std::move(*rows);
        }
    }
    return decodeLegacySavedPaths(keys.pathList, keys.checkedRows, codeset);
}

std::vector<SavedPathRow> readSavedPaths(const std::string &folder)
{
    const Codeset codeset = text::systemCodeset();
    const std::string content = readIniText(savedPathsFile(folder));
    const auto value = [&](std::string_view key) {
        return findIniValue(content, kSavedPathsSection, key, codeset).value_or(std::string());
    };
    return decodeSavedPaths({value(kPathListKey), value(kCheckedRowsKey), value(kRowsKey)}, codeset);
}

std::string writeSavedPaths(const std::string &folder, const std::vector<SavedPathRow> &rows)
{
    SavedPathKeys keys = encodeSavedPaths(rows, text::systemCodeset());
    return writeIniValues(savedPathsFile(folder), kSavedPathsSection,
                          {{std::string(kPathListKey), std::move(keys.pathList)},
                           {std::string(kCheckedRowsKey), std::move(keys.checkedRows)},
                           {std::string(kRowsKey), std::move(keys.rows)}});
}

} // namespace quorvel
