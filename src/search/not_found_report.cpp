#include "search/not_found_report.h"

#include <algorithm>

#include "search/aho_corasick.h"
#include "search/keyword_text.h"
#include "text/characters.h"

namespace quorvel {
namespace {

inline unsigned char lowerByte(unsigned char b)
{
    return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + ('a' - 'A')) : b;
}

} // namespace

NotFoundScanner::NotFoundScanner(std::vector<std::string> lines, Feed feed, text::Codeset codeset)
    : m_lines(std::move(lines)), m_feed(feed), m_codeset(codeset)
{
    // The names text is scanned forwards, or backwards (reversed lines over reversed names)
    // when the names come in reverse list order.
    std::vector<std::string> folded;
    folded.reserve(m_lines.size());
    std::size_t longest = 0;
    for (const std::string &line : m_lines) {
        std::string f(line);
        for (char &c : f)
            c = static_cast<char>(lowerByte(static_cast<unsigned char>(c)));
        if (feed == Feed::ReverseListOrder)
            std::reverse(f.begin(), f.end());
        longest = std::max(longest, f.size());
        folded.push_back(std::move(f));
    }
    std::vector<std::uint32_t> order(folded.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return folded[a] < folded[b]; });
    m_patternOf.assign(folded.size(), 0);
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i == 0 || folded[order[i]] != folded[order[i - 1]])
            m_patterns.push_back(folded[order[i]]);
        m_patternOf[order[i]] = static_cast<std::uint32_t>(m_patterns.size() - 1);
    }
    m_found.assign(m_patterns.size(), 0);
    m_automaton = std::make_unique<AhoCorasick>();
    m_automaton->build(std::vector<std::string_view>(m_patterns.begin(), m_patterns.end()));
    std::size_t ring = 1;
    while (ring < longest + 1)
        ring *= 2;
    m_starts.assign(ring, 1);
    m_ringMask = ring - 1;
}

NotFoundScanner::~NotFoundScanner() = default;

void NotFoundScanner::feed(unsigned char byte, bool startsCharacter)
{
    m_starts[m_position & m_ringMask] = startsCharacter ? 1 : 0;
    m_state = m_automaton->step(m_state, lowerByte(byte));
    m_automaton->forEachMatch(m_state, [&](std::uint32_t p) {
        if (m_found[p])
            return;
        // Forwards the match starts length - 1 bytes back; backwards its first byte in the
        // names text is the byte just read.
        const std::uint64_t start = m_feed == Feed::ListOrder ? m_position + 1 - m_patterns[p].size() : m_position;
        if (m_starts[start & m_ringMask])
            m_found[p] = 1;
    });
    ++m_position;
}

void NotFoundScanner::addName(std::string_view name)
{
    m_anyRow = true;
    // Every "/" starts a character and ends any character before it, so each name's
    // boundaries can be found on its own.
    m_nameStarts.assign(name.size(), 0);
    for (std::size_t at = 0; at < name.size(); at += text::charLength(name, at, m_codeset))
        m_nameStarts[at] = 1;
    if (m_feed == Feed::ListOrder) {
        for (std::size_t i = 0; i < name.size(); ++i)
            feed(static_cast<unsigned char>(name[i]), m_nameStarts[i] != 0);
        feed('/', true);
    } else {
        feed('/', true);
        for (std::size_t i = name.size(); i-- > 0;)
            feed(static_cast<unsigned char>(name[i]), m_nameStarts[i] != 0);
    }
}

void NotFoundScanner::addRowPath(std::string_view path)
{
    const std::size_t slash = path.rfind('/'); // '/' never lies inside a multibyte character
    addName(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string NotFoundScanner::report() const
{
    std::string out;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const bool found = m_lines[i].empty() ? m_anyRow : m_found[m_patternOf[i]] != 0;
        if (!found) {
            out.append(m_lines[i]);
            out.append("\r\n");
        }
    }
    return out;
}

std::string buildNotFoundReport(std::string_view keywordBoxText, std::size_t rowCount,
                                const std::function<std::string_view(std::size_t)> &rowPath, text::Codeset codeset)
{
    NotFoundScanner scanner(keywordLinesOf(keywordBoxText, codeset), NotFoundScanner::Feed::ListOrder, codeset);
    for (std::size_t row = 0; row < rowCount; ++row)
        scanner.addRowPath(rowPath(row));
    return scanner.report();
}

} // namespace quorvel
