#include "search/name_matcher.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "search/aho_corasick.h"
#include "text/characters.h"

namespace quorvel {
namespace {

constexpr std::uint32_t kNone = UINT32_MAX;
// Few enough keywords that one substring search per keyword beats building an automaton.
constexpr std::size_t kPlainSearchLimit = 3;

inline unsigned char lowerByte(unsigned char b)
{
    return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + ('a' - 'A')) : b;
}

// A fast hash of short texts (names), mixed so that its low bits serve a power-of-two table.
inline std::uint64_t hashOf(std::string_view text)
{
    const char *p = text.data();
    std::size_t n = text.size();
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, p, n);
    h = (h ^ tail) * 0x94D049BB133111EBull;
    return h ^ (h >> 29);
}

// The place of a text in the exact rules' quick filter: its length, first and last byte.
inline std::size_t filterBit(std::size_t length, unsigned char first, unsigned char last)
{
    const std::uint64_t key = (std::uint64_t{length} << 16) | (std::uint64_t{first} << 8) | last;
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 48); // 16 bits
}

inline int lengthBit(std::size_t length)
{
    return length < 63 ? static_cast<int>(length) : 63;
}

} // namespace

KeywordMatcher::KeywordMatcher(const std::vector<std::string> &keywords, MatchRule rule, CaseFold fold,
                               text::Codeset codeset, std::size_t firstKeyword)
    : m_rule(rule), m_fold(fold), m_codeset(codeset), m_keywordCount(keywords.size())
{
    // The folded keywords, packed one after another.
    std::string folded;
    std::vector<std::size_t> foldedStart{0};
    std::vector<std::uint32_t> order;
    std::string one;
    for (std::size_t k = firstKeyword; k < keywords.size(); ++k) {
        this->fold(keywords[k], one);
        folded.append(one);
        foldedStart.push_back(folded.size());
        order.push_back(static_cast<std::uint32_t>(k));
    }
    auto textOf = [&](std::uint32_t k) {
        const std::size_t i = k - firstKeyword;
        return std::string_view(folded).substr(foldedStart[i], foldedStart[i + 1] - foldedStart[i]);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return textOf(a) < textOf(b); });

    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i == 0 || textOf(order[i]) != pattern(static_cast<std::uint32_t>(patternCount() - 1))) {
            m_keywordStart.push_back(static_cast<std::uint32_t>(m_keywordIndex.size()));
            m_patternBytes.append(textOf(order[i]));
            m_patternStart.push_back(m_patternBytes.size());
        }
        m_keywordIndex.push_back(order[i]);
    }
    m_keywordStart.push_back(static_cast<std::uint32_t>(m_keywordIndex.size()));
    folded = std::string();
    foldedStart = std::vector<std::size_t>();
    // Each pattern's keywords are in ascending order: the sort was stable over ascending indices.
    for (std::uint32_t p = 0; p < patternCount(); ++p) {
        if (pattern(p).empty())
            m_emptyPattern = p;
    }

    if (rule == MatchRule::Contains) {
        const std::size_t nonEmpty = patternCount() - (m_emptyPattern != kNone ? 1 : 0);
        if (nonEmpty > kPlainSearchLimit) {
            m_automaton = std::make_unique<AhoCorasick>();
            std::vector<std::string_view> patterns(patternCount());
            for (std::uint32_t p = 0; p < patterns.size(); ++p)
                patterns[p] = pattern(p);
            m_automaton->build(patterns, m_emptyPattern);
        }
        return;
    }
    m_filter.assign(std::size_t{1} << 10, 0);
    m_filterBytes = m_fold == CaseFold::Bytes || m_codeset == text::Codeset::Utf8;
    std::size_t capacity = 16;
    while (capacity < patternCount() * 2)
        capacity *= 2;
    m_slots.assign(capacity, Slot{0, 0});
    // About 16 bits per keyword: a name that is no keyword is turned away by one bit, mostly.
    std::size_t bloomBits = std::size_t{1} << 16;
    while (bloomBits < patternCount() * 16 && bloomBits < (std::size_t{1} << 26))
        bloomBits *= 2;
    m_bloom.assign(bloomBits / 64, 0);
    m_bloomMask = bloomBits - 1;
    for (std::uint32_t p = 0; p < patternCount(); ++p) {
        const std::string_view text = pattern(p);
        m_lengthMask |= std::uint64_t{1} << lengthBit(text.size());
        const std::size_t bit = text.empty() ? filterBit(0, 0, 0)
                                             : filterBit(text.size(), static_cast<unsigned char>(text.front()),
                                                         static_cast<unsigned char>(text.back()));
        m_filter[bit / 64] |= std::uint64_t{1} << (bit % 64);
        const std::uint64_t hash = hashOf(text);
        const std::size_t bloom = (hash >> 32) & m_bloomMask;
        m_bloom[bloom / 64] |= std::uint64_t{1} << (bloom % 64);
        std::size_t slot = hash & (capacity - 1);
        while (m_slots[slot].pattern != 0)
            slot = (slot + 1) & (capacity - 1);
        m_slots[slot] = Slot{p + 1, static_cast<std::uint32_t>(hash >> 32)};
    }
}

KeywordMatcher::~KeywordMatcher() = default;

void KeywordMatcher::fold(std::string_view name, std::string &out) const
{
    out.assign(name);
    if (m_fold == CaseFold::Bytes || m_codeset == text::Codeset::Utf8) {
        // In UTF-8 no byte of a multibyte character lies in A-Z, so folding bytes is folding characters.
        for (char &c : out)
            c = static_cast<char>(lowerByte(static_cast<unsigned char>(c)));
    } else {
        text::foldAsciiCase(out, m_codeset);
    }
}

std::uint32_t KeywordMatcher::lookup(std::string_view folded) const
{
    if (!(m_lengthMask & (std::uint64_t{1} << lengthBit(folded.size()))))
        return kNone;
    const std::uint64_t hash = hashOf(folded);
    const std::size_t bloom = (hash >> 32) & m_bloomMask;
    if (!(m_bloom[bloom / 64] & (std::uint64_t{1} << (bloom % 64))))
        return kNone;
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot entry = m_slots[slot];
        if (entry.pattern == 0)
            return kNone;
        if (entry.tag == tag && pattern(entry.pattern - 1) == folded)
            return entry.pattern - 1;
    }
}

bool KeywordMatcher::startsCharacter(std::string_view folded, std::size_t pos, Scratch &scratch) const
{
    if (m_codeset == text::Codeset::Utf8) {
        const auto b = static_cast<unsigned char>(folded[pos]);
        return (b & 0xC0) != 0x80 || text::isCharBoundary(folded, pos, m_codeset);
    }
    if (scratch.boundary.empty()) {
        // Folding never moves a character boundary, so the folded text's boundaries are the name's.
        scratch.boundary.assign(folded.size() + 1, 0);
        for (std::size_t at = 0; at < folded.size(); at += text::charLength(folded, at, m_codeset))
            scratch.boundary[at] = 1;
        scratch.boundary[folded.size()] = 1;
    }
    return scratch.boundary[pos] != 0;
}

void KeywordMatcher::addKeywordsOf(std::uint32_t pattern, std::vector<std::uint32_t> &hits) const
{
    hits.insert(hits.end(), m_keywordIndex.begin() + m_keywordStart[pattern],
                m_keywordIndex.begin() + m_keywordStart[pattern + 1]);
}

void KeywordMatcher::match(std::string_view name, Scratch &scratch, std::vector<std::uint32_t> &hits) const
{
    hits.clear();
    if (patternCount() == 0)
        return;
    std::vector<std::uint32_t> &found = scratch.patterns;
    found.clear();
    // A '.' byte never lies inside a multibyte character in UTF-8 or GBK, so the last '.'
    // byte is the last '.' character; folding moves neither it nor the length.
    const std::size_t dot = m_rule == MatchRule::NameOrStem ? name.rfind('.') : std::string_view::npos;
    const bool hasStem = dot != std::string_view::npos && dot > 0;
    if (m_rule != MatchRule::Contains) {
        if (!(m_lengthMask & (std::uint64_t{1} << lengthBit(name.size()))) &&
            !(hasStem && (m_lengthMask & (std::uint64_t{1} << lengthBit(dot)))))
            return; // no keyword is as long as the name or its stem
        if (m_filterBytes && !name.empty()) {
            // Folding bytes one by one is exact here, so the filter needs no folded copy.
            const unsigned char first = lowerByte(static_cast<unsigned char>(name.front()));
            const std::size_t whole = filterBit(name.size(), first, lowerByte(static_cast<unsigned char>(name.back())));
            const std::size_t stem =
                hasStem ? filterBit(dot, first, lowerByte(static_cast<unsigned char>(name[dot - 1]))) : whole;
            if (!(m_filter[whole / 64] & (std::uint64_t{1} << (whole % 64))) &&
                !(m_filter[stem / 64] & (std::uint64_t{1} << (stem % 64))))
                return; // no keyword has the name's or the stem's length, first and last byte
        }
    }
    fold(name, scratch.folded);
    const std::string_view folded = scratch.folded;

    if (m_rule != MatchRule::Contains) {
        const std::uint32_t whole = lookup(folded);
        if (whole != kNone)
            found.push_back(whole);
        if (m_rule == MatchRule::NameOrStem) {
            if (hasStem) {
                const std::uint32_t stem = lookup(folded.substr(0, dot));
                if (stem != kNone)
                    found.push_back(stem);
            }
        }
    } else {
        scratch.boundary.clear();
        if (m_emptyPattern != kNone)
            found.push_back(m_emptyPattern);
        if (!m_automaton) {
            for (std::uint32_t p = 0; p < patternCount(); ++p) {
                if (p == m_emptyPattern)
                    continue;
                const std::string_view text = pattern(p);
                for (std::size_t at = folded.find(text); at != std::string_view::npos; at = folded.find(text, at + 1)) {
                    if (startsCharacter(folded, at, scratch)) {
                        found.push_back(p);
                        break;
                    }
                }
            }
        } else {
            const AhoCorasick &a = *m_automaton;
            if (scratch.stamp.size() != patternCount()) {
                scratch.stamp.assign(patternCount(), 0);
                scratch.generation = 0;
            }
            if (++scratch.generation == 0) {
                std::fill(scratch.stamp.begin(), scratch.stamp.end(), 0);
                scratch.generation = 1;
            }
            const std::uint32_t generation = scratch.generation;
            std::uint32_t state = 0;
            for (std::size_t i = 0; i < folded.size(); ++i) {
                state = a.step(state, static_cast<unsigned char>(folded[i]));
                a.forEachMatch(state, [&](std::uint32_t p) {
                    if (scratch.stamp[p] == generation)
                        return;
                    const std::size_t start = i + 1 - (m_patternStart[p + 1] - m_patternStart[p]);
                    if (startsCharacter(folded, start, scratch)) {
                        scratch.stamp[p] = generation;
                        found.push_back(p);
                    }
                });
            }
        }
    }

    if (found.empty())
        return;
    for (std::uint32_t p : found)
        addKeywordsOf(p, hits);
    if (found.size() > 1)
        std::sort(hits.begin(), hits.end());
}

} // namespace quorvel
