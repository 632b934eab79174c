#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Rows found by a search, in the order found, packed into one buffer so that a batch of
// thousands of rows costs a few allocations. Each row is a path (column 0 of the result
// list); its name (column 1) is the last nameLength bytes of the path: the file name for
// a file hit, nothing for a folder hit.
class RowBatch
{
  public:
    struct Row {
        std::uint64_t offset;
        std::uint32_t pathLength;
        std::uint32_t nameLength;
    };

    // Appends a row whose path is folder + name (folder already ends with its separator,
    // or is empty) and whose name column is `name` when nameIsColumn, else empty.
    void add(std::string_view folder, std::string_view name, bool nameIsColumn)
    {
        const std::uint64_t offset = m_bytes.size();
        m_bytes.append(folder);
        m_bytes.append(name);
        m_rows.push_back({offset, static_cast<std::uint32_t>(folder.size() + name.size()),
                          nameIsColumn ? static_cast<std::uint32_t>(name.size()) : 0u});
    }

    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    std::size_t byteSize() const { return m_bytes.size(); }
    std::string_view path(std::size_t i) const { return {m_bytes.data() + m_rows[i].offset, m_rows[i].pathLength}; }
    std::string_view name(std::size_t i) const
    {
        const Row &r = m_rows[i];
        return {m_bytes.data() + r.offset + r.pathLength - r.nameLength, r.nameLength};
    }
    void clear()
    {
        m_bytes.clear();
        m_rows.clear();
    }
    // Gives back the room a growing batch reserved ahead, for batches that are kept a while.
    void shrinkToFit()
    {
        m_bytes.shrink_to_fit();
        m_rows.shrink_to_fit();
    }

  private:
    std::string m_bytes;
    std::vector<Row> m_rows;
};

// Where a search hands its rows, in batches, from the thread that runs the search.
class RowSink
{
  public:
    virtual ~RowSink() = default;
    virtual void takeRows(RowBatch &&rows) = 0;

    // A root or folder that could not be opened or listed (errno value in errorNumber). The
    // walk goes on without it; the window ignores this, the command line reports it.
    virtual void folderFailed(std::string_view path, int errorNumber)
    {
        (void)path;
        (void)errorNumber;
    }
};

// How far a walk has got: folders listed and files seen so far.
struct WalkProgress {
    std::uint64_t folders = 0;
    std::uint64_t files = 0;
};

// A stop request that another thread may raise; searches poll it at least once per file
// and per folder.
using StopFlag = std::atomic<bool>;

} // namespace quorvel
