#pragma once

#include <optional>
#include <string>
#include <vector>

#include "text/codeset.h"

namespace quorvel {

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
