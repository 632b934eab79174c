#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/codeset.h"

namespace quorvel {

class AhoCorasick;

// Which ASCII letters are folded before a name and a keyword are compared.
enum class CaseFold : std::uint8_t {
    // A-Z where they stand as characters of their own; a GBK trail byte keeps its case.
    Characters,
    // Every byte in A-Z, trail bytes too (a byte-by-byte comparison that ignores case).
    Bytes,
};

enum class MatchRule : std::uint8_t {
    // The keyword equals the whole name, or the name without its last extension (file names).
    NameOrStem,
    // The keyword equals the whole name (folder names).
    WholeName,
    // The keyword occurs in the name at a position that starts a character.
    Contains,
};

// Tests one name against a whole keyword list at once, at a cost that does not grow with
// the number of keywords: exact rules look the folded name up in a hash table, Contains
// runs one Aho-Corasick pass over it (or a plain substring search for a few keywords).
// The answer is the same as testing every keyword in turn. Immutable once built, so one
// matcher serves several threads, each with its own Scratch.
class KeywordMatcher
{
  public:
    // Matches the keywords from index firstKeyword on (the indices it reports are indices
    // into `keywords`).
    KeywordMatcher(const std::vector<std::string> &keywords, MatchRule rule, CaseFold fold, text::Codeset codeset,
                   std::size_t firstKeyword = 0);
    ~KeywordMatcher();
    KeywordMatcher(const KeywordMatcher &) = delete;
    KeywordMatcher &operator=(const KeywordMatcher &) = delete;

    // Working memory of one thread.
    class Scratch
    {
      public:
        Scratch() = default;

      private:
        friend class KeywordMatcher;
        std::string folded;
        std::vector<std::uint32_t> stamp;
        std::uint32_t generation = 0;
        std::vector<std::uint32_t> patterns;
        std::vector<std::uint8_t> boundary;
    };

    // Replaces `hits` with the index of every keyword that matches name, ascending, each
    // once (a keyword that stands twice in the list is reported at both indices).
    void match(std::string_view name, Scratch &scratch, std::vector<std::uint32_t> &hits) const;

    std::size_t keywordCount() const { return m_keywordCount; }
    MatchRule rule() const { return m_rule; }

  private:
    void fold(std::string_view name, std::string &out) const;
    std::uint32_t lookup(std::string_view folded) const;
    bool startsCharacter(std::string_view folded, std::size_t pos, Scratch &scratch) const;
    void addKeywordsOf(std::uint32_t pattern, std::vector<std::uint32_t> &hits) const;

    MatchRule m_rule;
    CaseFold m_fold;
    text::Codeset m_codeset;
    std::size_t m_keywordCount = 0;

    // Distinct folded keywords ("patterns"), and for each the keyword indices that fold to it.
    std::size_t patternCount() const { return m_patternStart.size() - 1; }
    std::string_view pattern(std::uint32_t p) const
    {
        return std::string_view(m_patternBytes).substr(m_patternStart[p], m_patternStart[p + 1] - m_patternStart[p]);
    }
    std::string m_patternBytes;                 // the patterns one after another
    std::vector<std::size_t> m_patternStart{0}; // where each starts, and the end
    std::vector<std::uint32_t> m_keywordStart;  // patternCount() + 1 entries
    std::vector<std::uint32_t> m_keywordIndex;
    std::uint32_t m_emptyPattern = UINT32_MAX;

    // Exact rules: open addressing over the patterns, behind a Bloom filter of their hashes.
    struct Slot {
        std::uint32_t pattern; // pattern + 1, 0 for a free slot
        std::uint32_t tag;     // the upper half of the pattern's hash
    };
    std::vector<Slot> m_slots;
    std::vector<std::uint64_t> m_bloom; // one bit per pattern hash, to turn most names away at once
    std::size_t m_bloomMask = 0;
    std::uint64_t m_lengthMask = 0;      // bit n set when some pattern is n bytes long (n < 63), bit 63 for longer
    std::vector<std::uint64_t> m_filter; // 65536 bits over length, first and last byte of each pattern
    bool m_filterBytes = false;          // whether names can be filtered before folding

    // Contains rule with many keywords.
    std::unique_ptr<AhoCorasick> m_automaton;
};

} // namespace quorvel
