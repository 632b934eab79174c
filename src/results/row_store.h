#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The rows of a checkable list (the result list or the search path list): one or two text
// columns and a check mark per row, as compact as a list of a million paths needs.
//
// Texts live in an append-only arena of large chunks; a row is 24 bytes. A second column
// that is the tail of the first (a file's name at the end of its path) shares the first
// column's bytes. Inserting at the top and appending at the end are O(1) amortised, so a
// search can put every new hit on top without moving the rows below. Texts are raw bytes:
// nothing is decoded or normalised.
class RowStore
{
  public:
    explicit RowStore(int columnCount = 1);

    int columnCount() const { return m_columnCount; }
    std::size_t size() const { return m_front.size() + m_back.size(); }
    bool empty() const { return size() == 0; }

    std::string_view cell(std::size_t row, int column) const;
    bool isChecked(std::size_t row) const { return at(row).nameLength & kCheckedBit; }
    void setChecked(std::size_t row, bool checked);
    void setAllChecked(bool checked);
    std::size_t checkedCount() const;

    // Inserts a row; position 0 puts it first, a position at or past the end appends it.
    // The new row is unchecked. For one column, `second` is ignored.
    void insert(std::size_t position, std::string_view first, std::string_view second = {});
    void prepend(std::string_view first, std::string_view second = {});
    void append(std::string_view first, std::string_view second = {});
    void setCell(std::size_t row, int column, std::string_view text);

    void erase(std::size_t row);
    // Removes the rows at these indices (ascending, no repeats) in one pass.
    void eraseRows(const std::vector<std::size_t> &ascendingRows);
    void clear();

    // Rewrites the texts of every row in a new order: position s receives the texts of row
    // sourceOf[s]. Check marks stay with the positions.
    void permuteTexts(const std::vector<std::uint32_t> &sourceOf);

    // How many rows have ever been put on top (insert at 0 / prepend) since construction:
    // lets long work that remembers row indices follow rows pushed down by a running search.
    std::uint64_t rowsPutOnTop() const { return m_rowsPutOnTop; }

    // Bytes held beyond the texts themselves (row records, spare capacity, arena slack).
    std::size_t overheadBytes() const;

  private:
    struct Row {
        std::uint64_t first;  // arena address of column 0
        std::uint64_t second; // arena address of column 1
        std::uint32_t firstLength;
        std::uint32_t nameLength; // column 1 length, with the check mark in the top bit
    };
    static constexpr std::uint32_t kCheckedBit = 0x80000000u;
    static constexpr std::uint32_t kLengthMask = 0x7FFFFFFFu;

    Row &at(std::size_t row)
    {
        return row < m_front.size() ? m_front[m_front.size() - 1 - row] : m_back[row - m_front.size()];
    }
    const Row &at(std::size_t row) const
    {
        return row < m_front.size() ? m_front[m_front.size() - 1 - row] : m_back[row - m_front.size()];
    }
    Row makeRow(std::string_view first, std::string_view second);
    std::uint64_t store(std::string_view text);
    std::string_view load(std::uint64_t address, std::uint32_t length) const;
    void flatten(); // moves every row into m_back, in order

    int m_columnCount;
    std::vector<Row> m_front; // rows above m_back, the top row last
    std::vector<Row> m_back;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::vector<std::size_t> m_chunkSizes;
    std::size_t m_chunkUsed = 0;
    std::size_t m_textBytes = 0;
    std::uint64_t m_rowsPutOnTop = 0;
};

} // namespace quorvel
