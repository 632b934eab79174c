#include "results/sort_ranked_rows.h"

#include <algorithm>

namespace quorvel {
namespace {

template <class T> void insertAt(T *items, std::uint32_t count, std::uint32_t place, T value)
{
    std::copy_backward(items + place, items + count, items + count + 1);
    items[place] = value;
}

} // namespace

RankedRows::RankedRows()
{
    m_leaves.emplace_back();
}

std::uint32_t RankedRows::at(std::size_t rank) const
{
    std::uint32_t node = m_root;
    for (int level = m_height; level > 0; --level) {
        const Inner &inner = m_inners[node];
        std::uint32_t c = 0;
        while (rank >= inner.size[c]) {
            rank -= inner.size[c];
            ++c;
        }
        node = inner.child[c];
    }
    return m_leaves[node].rows[rank];
}

void RankedRows::insert(std::size_t rank, std::uint32_t row)
{
    std::uint32_t node = m_root;
    m_path.clear();
    for (int level = m_height; level > 0; --level) {
        Inner &inner = m_inners[node];
        std::uint32_t c = 0;
        while (c + 1 < inner.count && rank > inner.size[c]) {
            rank -= inner.size[c];
            ++c;
        }
        ++inner.size[c];
        m_path.push_back({node, c});
        node = inner.child[c];
    }
    ++m_size;
    const auto place = static_cast<std::uint32_t>(rank);
    if (m_leaves[node].count < kLeafCapacity) {
        Leaf &leaf = m_leaves[node];
        insertAt(leaf.rows, leaf.count++, place, row);
        return;
    }

    // The leaf is full: its upper half moves to a new leaf to its right.
    const auto rightLeaf = static_cast<std::uint32_t>(m_leaves.size());
    m_leaves.emplace_back();
    Leaf &left = m_leaves[node];
    Leaf &right = m_leaves[rightLeaf];
    constexpr std::uint32_t half = kLeafCapacity / 2;
    std::copy(left.rows + half, left.rows + kLeafCapacity, right.rows);
    right.count = kLeafCapacity - half;
    left.count = half;
    right.next = left.next;
    left.next = rightLeaf;
    if (place <= half)
        insertAt(left.rows, left.count++, place, row);
    else
        insertAt(right.rows, right.count++, place - half, row);

    // Hang the new node beside the old one, splitting full parents on the way up.
    std::uint32_t newChild = rightLeaf;
    std::uint32_t leftSize = left.count, rightSize = right.count;
    for (std::size_t k = m_path.size(); k-- > 0;) {
        const Step step = m_path[k];
        if (m_inners[step.node].count < kFanOut) {
            Inner &inner = m_inners[step.node];
            inner.size[step.child] = leftSize;
            insertAt(inner.child, inner.count, step.child + 1, newChild);
            insertAt(inner.size, inner.count, step.child + 1, rightSize);
            ++inner.count;
            return;
        }
        const auto rightInner = static_cast<std::uint32_t>(m_inners.size());
        m_inners.emplace_back();
        Inner &a = m_inners[step.node];
        Inner &b = m_inners[rightInner];
        a.size[step.child] = leftSize;
        constexpr std::uint32_t halfFan = kFanOut / 2;
        std::copy(a.child + halfFan, a.child + kFanOut, b.child);
        std::copy(a.size + halfFan, a.size + kFanOut, b.size);
        b.count = kFanOut - halfFan;
        a.count = halfFan;
        Inner &target = step.child + 1 <= halfFan ? a : b;
        const std::uint32_t at = step.child + 1 <= halfFan ? step.child + 1 : step.child + 1 - halfFan;
        insertAt(target.child, target.count, at, newChild);
        insertAt(target.size, target.count, at, rightSize);
        ++target.count;
        leftSize = 0;
        rightSize = 0;
        for (std::uint32_t c = 0; c < a.count; ++c)
            leftSize += a.size[c];
        for (std::uint32_t c = 0; c < b.count; ++c)
            rightSize += b.size[c];
        newChild = rightInner;
    }

    // The root itself was split: a new root holds the two halves.
    const auto newRoot = static_cast<std::uint32_t>(m_inners.size());
    m_inners.emplace_back();
    Inner &root = m_inners[newRoot];
    root.count = 2;
    root.child[0] = m_root;
    root.child[1] = newChild;
    root.size[0] = leftSize;
    root.size[1] = rightSize;
    m_root = newRoot;
    ++m_height;
}

std::vector<std::uint32_t> RankedRows::entries() const
{
    std::vector<std::uint32_t> out;
    out.reserve(m_size);
    std::uint32_t leaf = 0;
    do {
        const Leaf &l = m_leaves[leaf];
        out.insert(out.end(), l.rows, l.rows + l.count);
        leaf = l.next;
    } while (leaf != 0);
    return out;
}

} // namespace quorvel
