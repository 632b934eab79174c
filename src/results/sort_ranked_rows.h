#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvel {

// A sequence of row numbers that takes an insertion at any place and gives the entry at
// any place, each in O(log n): a B+ tree whose inner nodes count the entries below each
// child. It is what lets an insertion sort that bisects by place run on a million rows,
// where a flat array would move half of its entries on every insertion.
class RankedRows
{
  public:
    RankedRows();

    std::size_t size() const { return m_size; }

    // The entry at place `rank` (0-based); rank must be below size().
    std::uint32_t at(std::size_t rank) const;

    // Puts row at place `rank` (0 to size()); the entries from that place on move one back.
    void insert(std::size_t rank, std::uint32_t row);

    // Every entry, first to last.
    std::vector<std::uint32_t> entries() const;

  private:
    static constexpr std::uint32_t kLeafCapacity = 64;
    static constexpr std::uint32_t kFanOut = 32;

    struct Leaf {
        std::uint32_t count = 0;
        std::uint32_t next = 0; // the leaf to the right; 0 after the last (leaf 0 is always first)
        std::uint32_t rows[kLeafCapacity];
    };
    struct Inner {
        std::uint32_t count = 0;
        std::uint32_t child[kFanOut];
        std::uint32_t size[kFanOut]; // entries below each child
    };
    struct Step {
        std::uint32_t node;
        std::uint32_t child;
    };

    std::vector<Leaf> m_leaves;
    std::vector<Inner> m_inners;
    std::vector<Step> m_path;
    std::uint32_t m_root = 0;
    int m_height = 0; // inner levels above the leaves
    std::size_t m_size = 0;
};

} // namespace quorvel
