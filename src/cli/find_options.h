#pragma once

#include <optional>
#include <string>
#include <vector>

#include "text/codeset.h"

namespace quorvel {

// What happens to every row's entry once the walk has ended.
enum class RowAction {
    None,
    CopyTo, // --copy-to DIR
    MoveTo, // --move-to DIR
    Trash,  // --trash
};

// What `quorvel-find` was asked to do.
struct FindOptions {
    std::vector<std::string> keywordFiles;  // -k, in order; "-" is standard input
    std::vector<std::string> extraKeywords; // -e, in order
    bool fuzzy = false;
    bool folders = false;
    bool allDisks = false;
    bool print0 = false;
    bool columns = false;
    bool listOrder = false;
    std::optional<std::string> notFoundFile;
    std::optional<text::Codeset> codeset;
    RowAction action = RowAction::None;
    std::string actionFolder;   // DIR of --copy-to or --move-to
    bool renameOnClash = false; // a clashing entry gets "name (2).ext" instead of replacing
    bool dryRun = false;        // print the actions instead of doing them
    bool help = false;
    bool version = false;
    std::vector<std::string> roots;
};

// Reads the command line. On a usage error returns nothing and sets `error` to the message
// (without the program name).
std::optional<FindOptions> parseFindOptions(int argc, char **argv, std::string &error);

// The text of --help.
const char *findUsage();

} // namespace quorvel
