#pragma once

#include <string>
#include <vector>

namespace quorvel {

// One keyword of the current search: its text as a copy of its keyword line.
struct KeywordRecord {
    std::string text;
};

// The arrays that live from program start to exit and carry one search request's input:
// the keyword lines as typed, one record per line, and the roots in search order. Each
// request rebuilds them; a running search works on its own copies, so a new request can
// never pull them from under it.
struct ProcessArrays {
    std::vector<KeywordRecord> keywordRecords;
    std::vector<std::string> keywordLines;
    std::vector<std::string> searchRoots;
};

} // namespace quorvel
