#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/codeset.h"

// The search folder list kept between runs in gxbx.ini of the program's folder, section
// "lb".
//
// Two keys carry the list in the form every copy of the program reads:
//   bxjl  every row's path, top to bottom, each followed by ","; empty for an empty list;
//   gxbx  the indexes of the checked rows, ascending, joined by ","; "-1" when none is.
// They cannot hold a path with "," in it (it splits into several rows on reading) or a line
// break. So a third key, "rows", carries the list losslessly and older copies ignore it:
// per row "1" (checked) or "0", then the path with "%", ",", control bytes and bytes that
// are no character of the codeset written as "%" and two upper-case hex digits, then ",".
// "rows" wins when it is well formed and agrees with bxjl and gxbx (they are what writing
// its rows would give); when it is missing, malformed or stale (an older copy rewrote the
// old keys after us), bxjl and gxbx are read by the old rules.
//
// For lists whose paths hold no "," the old keys are written exactly as older copies write
// them. A path with "," is still written to bxjl unchanged, and gxbx counts the pieces an
// older copy will make of it, so its check marks land on the right rows there too; the
// pieces of such a path are left unchecked (none of them names the folder). Line breaks,
// zero bytes and (under UTF-8) bytes that are no character are written to bxjl as "?",
// since they would break the file or make it read as GBK.
namespace quorvel {

inline constexpr std::string_view kSavedPathsFileName = "gxbx.ini";
inline constexpr std::string_view kSavedPathsSection = "lb";
inline constexpr std::string_view kPathListKey = "bxjl";
inline constexpr std::string_view kCheckedRowsKey = "gxbx";
inline constexpr std::string_view kRowsKey = "rows";

// One row of the search folder list: its path (bytes in the system codeset) and check mark.
struct SavedPathRow {
    std::string path;
    bool checked = false;

    bool operator==(const SavedPathRow &) const = default;
};

// The values of the three keys.
struct SavedPathKeys {
    std::string pathList;    // bxjl
    std::string checkedRows; // gxbx
    std::string rows;        // rows

    bool operator==(const SavedPathKeys &) const = default;
};

// The three values that store these rows.
SavedPathKeys encodeSavedPaths(const std::vector<SavedPathRow> &rows, text::Codeset codeset);

// The rows that bxjl and gxbx give by the old rules: bxjl split at every "," (a "," at the
// very end makes no further row, an empty piece elsewhere is a row); unless gxbx is exactly
// "-1", each of its ","-separated pieces read as a decimal integer (leading spaces and a
// sign allowed; a piece without digits reads as 0) checks that row when there is one.
std::vector<SavedPathRow> decodeLegacySavedPaths(std::string_view pathList, std::string_view checkedRows,
                                                 text::Codeset codeset);

// The rows that a "rows" value holds, or nothing when it is malformed.
std::optional<std::vector<SavedPathRow>> decodeRowsKey(std::string_view rows);

// The rows the three values stand for: those of "rows" when it is well formed and agrees
// with the other two, else those of the old rules.
std::vector<SavedPathRow> decodeSavedPaths(const SavedPathKeys &keys, text::Codeset codeset);

// The rows saved in folder/gxbx.ini; none when the file is missing or unreadable.
std::vector<SavedPathRow> readSavedPaths(const std::string &folder);

// Stores the rows in folder/gxbx.ini (the folder must exist: see ensureProgramFolder),
// all three keys in one atomic replacement; other sections and keys of the file survive.
// Returns the empty text on success, else why the old file was left as it was.
std::string writeSavedPaths(const std::string &folder, const std::vector<SavedPathRow> &rows);

} // namespace quorvel
