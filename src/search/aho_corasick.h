#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// A multi-pattern matcher over bytes (Aho-Corasick): one pass over a text finds every
// occurrence of every pattern. Built once, then read-only, so several threads may scan with
// it at once. Patterns are matched byte for byte; folding case is the caller's business.
class AhoCorasick
{
  public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // Builds the matcher over patterns[i] for every i but `skip` (pass kNone to keep all).
    // Empty patterns are ignored. Patterns must be distinct.
    void build(const std::vector<std::string_view> &patterns, std::uint32_t skip = kNone);

    // The state after reading byte from state (the start state is 0).
    std::uint32_t step(std::uint32_t state, unsigned char byte) const
    {
        if (!m_dense.empty())
            return m_dense[std::size_t{state} * m_classes + m_classOf[byte]];
        for (;;) {
            const std::uint32_t next = child(state, byte);
            if (next != kNone)
                return next;
            if (state == 0)
                return 0;
            state = m_fail[state];
        }
    }

    // Calls onMatch(pattern index) for every pattern that ends at the byte that led to state.
    template <typename OnMatch> void forEachMatch(std::uint32_t state, OnMatch &&onMatch) const
    {
        for (std::uint32_t s = m_patternAt[state] != kNone ? state : m_outLink[state]; s != kNone; s = m_outLink[s])
            onMatch(m_patternAt[s]);
    }

  private:
    std::uint32_t child(std::uint32_t node, unsigned char byte) const;

    std::array<std::uint8_t, 256> m_classOf{};
    std::array<std::uint8_t, 256> m_byteOfClass{};
    std::uint32_t m_classes = 1; // class 0: bytes that occur in no pattern

    std::vector<std::uint32_t> m_edgeStart{0, 0}; // per node, plus one
    std::vector<std::uint8_t> m_edgeByte;
    std::vector<std::uint32_t> m_edgeTarget;
    std::vector<std::uint32_t> m_fail{0};
    std::vector<std::uint32_t> m_patternAt{kNone}; // the pattern ending at this node, or kNone
    std::vector<std::uint32_t> m_outLink{kNone};   // next node on the failure chain that ends a pattern
    std::vector<std::uint32_t> m_dense;            // node * classes + class, when it fits
};

} // namespace quorvel
