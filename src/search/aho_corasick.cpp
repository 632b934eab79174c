#include "search/aho_corasick.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace quorvel {
namespace {

// Largest dense transition table (entries) built; beyond it the matcher follows failure links.
constexpr std::size_t kDenseLimit = std::size_t{1} << 23;

} // namespace

std::uint32_t AhoCorasick::child(std::uint32_t node, unsigned char byte) const
{
    const std::uint32_t begin = m_edgeStart[node], end = m_edgeStart[node + 1];
    if (end - begin <= 8) {
        for (std::uint32_t e = begin; e < end; ++e) {
            if (m_edgeByte[e] == byte)
                return m_edgeTarget[e];
        }
        return kNone;
    }
    const auto first = m_edgeByte.begin() + begin, last = m_edgeByte.begin() + end;
    const auto it = std::lower_bound(first, last, byte);
    return (it != last && *it == byte) ? m_edgeTarget[static_cast<std::size_t>(it - m_edgeByte.begin())] : kNone;
}

void AhoCorasick::build(const std::vector<std::string_view> &patterns, std::uint32_t skip)
{
    // The trie is built from the sorted patterns: each new pattern shares the path of the one
    // before up to their common prefix, and every node's children come out in byte order.
    std::vector<std::uint32_t> order;
    for (std::uint32_t p = 0; p < patterns.size(); ++p) {
        if (p != skip && !patterns[p].empty())
            order.push_back(p);
    }
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return patterns[a] < patterns[b]; });

    struct Edge {
        std::uint32_t parent;
        std::uint8_t byte;
        std::uint32_t target;
    };
    std::vector<Edge> edges;
    std::vector<std::uint32_t> path{0};
    m_patternAt.assign(1, kNone);
    std::string_view previous;
    for (std::uint32_t p : order) {
        const std::string_view text = patterns[p];
        std::size_t common = 0;
        while (common < previous.size() && common < text.size() && previous[common] == text[common])
            ++common;
        path.resize(text.size() + 1);
        std::uint32_t node = path[common];
        for (std::size_t d = common; d < text.size(); ++d) {
            const auto next = static_cast<std::uint32_t>(m_patternAt.size());
            m_patternAt.push_back(kNone);
            edges.push_back({node, static_cast<std::uint8_t>(text[d]), next});
            path[d + 1] = next;
            node = next;
        }
        m_patternAt[node] = p;
        previous = text;
    }
    const std::size_t nodes = m_patternAt.size();

    // Edges grouped by parent; a stable grouping keeps each node's children in byte order.
    m_edgeStart.assign(nodes + 1, 0);
    for (const Edge &e : edges)
        ++m_edgeStart[e.parent + 1];
    std::partial_sum(m_edgeStart.begin(), m_edgeStart.end(), m_edgeStart.begin());
    m_edgeByte.resize(edges.size());
    m_edgeTarget.resize(edges.size());
    {
        std::vector<std::uint32_t> fill(m_edgeStart.begin(), m_edgeStart.end() - 1);
        for (const Edge &e : edges) {
            const std::uint32_t at = fill[e.parent]++;
            m_edgeByte[at] = e.byte;
            m_edgeTarget[at] = e.target;
        }
    }
    edges.clear();
    edges.shrink_to_fit();

    // Failure and output links, breadth-first.
    m_fail.assign(nodes, 0);
    m_outLink.assign(nodes, kNone);
    std::vector<std::uint32_t> queue;
    queue.reserve(nodes);
    queue.push_back(0);
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const std::uint32_t u = queue[head];
        for (std::uint32_t e = m_edgeStart[u]; e < m_edgeStart[u + 1]; ++e) {
            const std::uint32_t v = m_edgeTarget[e];
            const unsigned char b = m_edgeByte[e];
            std::uint32_t f = 0;
            if (u != 0) {
                f = m_fail[u];
                for (;;) {
                    const std::uint32_t c = child(f, b);
                    if (c != kNone) {
                        f = c;
                        break;
                    }
                    if (f == 0)
                        break;
                    f = m_fail[f];
                }
            }
            m_fail[v] = f;
            m_outLink[v] = m_patternAt[f] != kNone ? f : m_outLink[f];
            queue.push_back(v);
        }
    }

    m_classOf.fill(0);
    m_classes = 1;
    m_dense.clear();
    for (unsigned char b : m_edgeByte) {
        if (m_classOf[b] == 0) {
            if (m_classes == 255)
                return; // too many distinct bytes for a class table: stay sparse
            m_byteOfClass[m_classes] = b;
            m_classOf[b] = static_cast<std::uint8_t>(m_classes++);
        }
    }
    if (nodes * m_classes > kDenseLimit)
        return;
    m_dense.assign(nodes * m_classes, 0);
    for (std::uint32_t u : queue) {
        for (std::uint32_t c = 1; c < m_classes; ++c) {
            const std::uint32_t next = child(u, m_byteOfClass[c]);
            m_dense[std::size_t{u} * m_classes + c] =
                next != kNone ? next : (u == 0 ? 0 : m_dense[std::size_t{m_fail[u]} * m_classes + c]);
        }
    }
}

} // namespace quorvel
