#include "results/row_store.h"

#include <algorithm>
#include <cstring>

namespace quorvel {
namespace {

constexpr std::size_t kChunkSize = std::size_t(1) << 20;

} // namespace

RowStore::RowStore(int columnCount) : m_columnCount(columnCount) {}

std::uint64_t RowStore::store(std::string_view text)
{
    if (text.empty())
        return 0;
    if (m_chunks.empty() || m_chunkUsed + text.size() > m_chunkSizes.back()) {
        const std::size_t size = std::max(kChunkSize, text.size());
        m_chunks.push_back(std::make_unique<char[]>(size));
        m_chunkSizes.push_back(size);
        m_chunkUsed = 0;
    }
    const std::uint64_t address = (std::uint64_t(m_chunks.size() - 1) << 32) | m_chunkUsed;
    std::memcpy(m_chunks.back().get() + m_chunkUsed, text.data(), text.size());
    m_chunkUsed += text.size();
    m_textBytes += text.size();
    return address;
}

std::string_view RowStore::load(std::uint64_t address, std::uint32_t length) const
{
    if (length == 0)
        return {};
    return {m_chunks[address >> 32].get() + (address & 0xFFFFFFFFu), length};
}

RowStore::Row RowStore::makeRow(std::string_view first, std::string_view second)
{
    Row row{};
    row.first = store(first);
    row.firstLength = static_cast<std::uint32_t>(first.size());
    if (m_columnCount > 1 && !second.empty()) {
        if (second.size() <= first.size() && first.substr(first.size() - second.size()) == second)
            row.second = row.first + (first.size() - second.size()); // the tail of column 0
        else
            row.second = store(second);
        row.nameLength = static_cast<std::uint32_t>(second.size()) & kLengthMask;
    }
    return row;
}

std::string_view RowStore::cell(std::size_t row, int column) const
{
    const Row &r = at(row);
    if (column == 0)
        return load(r.first, r.firstLength);
    if (column == 1 && m_columnCount > 1)
        return load(r.second, r.nameLength & kLengthMask);
    return {};
}

void RowStore::setChecked(std::size_t row, bool checked)
{
    Row &r = at(row);
    r.nameLength = checked ? (r.nameLength | kCheckedBit) : (r.nameLength & kLengthMask);
}

void RowStore::setAllChecked(bool checked)
{
    for (auto *rows : {&m_front, &m_back}) {
        for (Row &r : *rows)
            r.nameLength = checked ? (r.nameLength | kCheckedBit) : (r.nameLength & kLengthMask);
    }
}

std::size_t RowStore::checkedCount() const
{
    std::size_t count = 0;
    for (const auto *rows : {&m_front, &m_back}) {
        for (const Row &r : *rows)
            count += (r.nameLength & kCheckedBit) ? 1 : 0;
    }
    return count;
}

void RowStore::prepend(std::string_view first, std::string_view second)
{
    m_front.push_back(makeRow(first, second));
    ++m_rowsPutOnTop;
}

void RowStore::append(std::string_view first, std::string_view second)
{
    m_back.push_back(makeRow(first, second));
}

void RowStore::insert(std::size_t position, std::string_view first, std::string_view second)
{
    if (position == 0) {
        prepend(first, second);
    } else if (position >= size()) {
        append(first, second);
    } else {
        flatten();
        m_back.insert(m_back.begin() + static_cast<std::ptrdiff_t>(position), makeRow(first, second));
    }
}

void RowStore::setCell(std::size_t row, int column, std::string_view text)
{
    if (column < 0 || column >= m_columnCount)
        return;
    Row &r = at(row);
    if (column == 0) {
        // The name may share column 0's old bytes; those stay in the arena, so it stays valid.
        r.first = store(text);
        r.firstLength = static_cast<std::uint32_t>(text.size());
    } else {
        r.second = store(text);
        r.nameLength = (r.nameLength & kCheckedBit) | (static_cast<std::uint32_t>(text.size()) & kLengthMask);
    }
}

void RowStore::flatten()
{
    if (m_front.empty())
        return;
    std::reverse(m_front.begin(), m_front.end());
    m_front.insert(m_front.end(), m_back.begin(), m_back.end());
    m_back.swap(m_front);
    m_front.clear();
    m_front.shrink_to_fit();
}

void RowStore::erase(std::size_t row)
{
    if (row >= size())
        return;
    if (row == 0 && !m_front.empty()) {
        m_front.pop_back();
        return;
    }
    flatten();
    m_back.erase(m_back.begin() + static_cast<std::ptrdiff_t>(row));
}

void RowStore::eraseRows(const std::vector<std::size_t> &ascendingRows)
{
    if (ascendingRows.empty())
        return;
    flatten();
    std::size_t write = 0, next = 0;
    for (std::size_t read = 0; read < m_back.size(); ++read) {
        if (next < ascendingRows.size() && ascendingRows[next] == read) {
            ++next;
            continue;
        }
        m_back[write++] = m_back[read];
    }
    m_back.resize(write);
}

void RowStore::clear()
{
    m_front.clear();
    m_back.clear();
    m_front.shrink_to_fit();
    m_back.shrink_to_fit();
    m_chunks.clear();
    m_chunkSizes.clear();
    m_chunkUsed = 0;
    m_textBytes = 0;
}

void RowStore::permuteTexts(const std::vector<std::uint32_t> &sourceOf)
{
    flatten();
    std::vector<Row> reordered(m_back.size());
    for (std::size_t s = 0; s < m_back.size() && s < sourceOf.size(); ++s) {
        reordered[s] = m_back[sourceOf[s]];
        reordered[s].nameLength = (reordered[s].nameLength & kLengthMask) | (m_back[s].nameLength & kCheckedBit);
    }
    m_back.swap(reordered);
}

std::size_t RowStore::overheadBytes() const
{
    std::size_t arena = 0;
    for (std::size_t size : m_chunkSizes)
        arena += size;
    return (m_front.capacity() + m_back.capacity()) * sizeof(Row) + (arena - m_textBytes) +
           m_chunks.capacity() * (sizeof(void *) + sizeof(std::size_t));
}

} // namespace quorvel
