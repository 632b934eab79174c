#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "search/found_rows.h"
#include "text/codeset.h"

namespace quorvel::testing {

// One row as a test sees it: path (column 0) and name (column 1).
using Row = std::pair<std::string, std::string>;

// A sink that keeps every row, every failed folder and the size of every batch.
class CollectingSink : public RowSink
{
  public:
    void takeRows(RowBatch &&rows) override
    {
        batchSizes.push_back(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            this->rows.emplace_back(std::string(rows.path(i)), std::string(rows.name(i)));
    }
    void folderFailed(std::string_view path, int errorNumber) override
    {
        failures.emplace_back(std::string(path), errorNumber);
    }

    std::vector<Row> rows;
    std::vector<std::size_t> batchSizes;
    std::vector<std::pair<std::string, int>> failures;
};

// The plain algorithms, written straight from the rules with readdir and lstat: every
// keyword tested against every name in turn. The fast engine must give the same rows.
std::vector<Row> plainFileNameSearch(const std::vector<std::string> &keywords, const std::vector<std::string> &roots,
                                     bool fuzzy, text::Codeset codeset);
std::vector<std::string> plainCollectFolders(const std::string &root);
std::vector<Row> plainFolderNameSearch(const std::vector<std::string> &keywords, const std::vector<std::string> &roots,
                                       bool exact, text::Codeset codeset);
std::string plainNotFoundReport(const std::vector<std::string> &lines, const std::vector<std::string> &rowPaths,
                                text::Codeset codeset);

} // namespace quorvel::testing
