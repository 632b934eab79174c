#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/codeset.h"

namespace quorvel {

class AhoCorasick;

// Decides which keyword lines occur in none of the names of a result list, reading the
// names one at a time (so a list of millions of rows need not be held). The "names text"
// is every row's name followed by "/", in list order; a line counts as found when it occurs
// in that text at a character boundary, ASCII letters without regard to case, so a line may
// also be found across two neighbouring names ("txt/b" with rows a.txt and b.txt). The
// empty line is found exactly when the list has a row.
class NotFoundScanner
{
  public:
    // The order in which names are added: the list's own order, or its reverse (the order a
    // file-name search finds rows in, since the list shows the newest first).
    enum class Feed { ListOrder, ReverseListOrder };

    NotFoundScanner(std::vector<std::string> lines, Feed feed, text::Codeset codeset);
    ~NotFoundScanner();
    NotFoundScanner(const NotFoundScanner &) = delete;
    NotFoundScanner &operator=(const NotFoundScanner &) = delete;

    // The name of one row: its path after the last "/" (empty for a path that ends in "/").
    void addName(std::string_view name);
    void addRowPath(std::string_view path);

    // Every line not found, in line order, each followed by CR LF (a line that stands twice
    // is reported twice); empty when every line was found.
    std::string report() const;

  private:
    void feed(unsigned char byte, bool startsCharacter);

    std::vector<std::string> m_lines;
    Feed m_feed;
    text::Codeset m_codeset;
    std::vector<std::string> m_patterns;    // distinct folded lines (reversed for ReverseListOrder)
    std::vector<std::uint32_t> m_patternOf; // per line
    std::vector<std::uint8_t> m_found;      // per pattern
    std::unique_ptr<AhoCorasick> m_automaton;
    std::uint32_t m_state = 0;
    std::uint64_t m_position = 0;
    std::vector<std::uint8_t> m_starts; // ring of "starts a character" flags
    std::uint64_t m_ringMask = 0;
    bool m_anyRow = false;
    std::vector<std::uint8_t> m_nameStarts;
};

// The exact bytes of the not-found report for a keyword box text and a result list: the
// box's lines (see keywordLinesOf) that occur in no row's name, each followed by CR LF;
// zero bytes when nothing is missing. rowPath(i) gives column 0 of row i, rows in list order.
std::string buildNotFoundReport(std::string_view keywordBoxText, std::size_t rowCount,
                                const std::function<std::string_view(std::size_t)> &rowPath, text::Codeset codeset);

} // namespace quorvel
