#include "results/sort_order.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "results/sort_ranked_rows.h"
#include "text/characters.h"

// How the fast order is found. When "equal" is a true equivalence (always for text keys,
// and for numbers and date-times whose values fall into clusters narrower than the
// tolerance and further apart than it), the sorted keys always hold the classes of equal
// keys as contiguous runs in ascending class order, and every comparison of the bisection
// is decided by where the probed place lies against the run of the new key's class. That
// run starts after the rows of all smaller classes seen so far, so a counting tree over the
// classes gives it, and the bisection becomes arithmetic on places with no key access. Each
// row thereby gets its place inside its own class at the moment it arrives; each class's
// final arrangement is then rebuilt from those places alone. Only the sort that finds the
// classes compares keys, O(n log n) times.

namespace quorvel {
namespace {

using Row = std::uint32_t;
using text::Codeset;

// Three-way comparison of converted keys with the tolerance: negative when t is smaller by
// more than the tolerance, positive when larger by more, else 0.
inline int compareValues(double t, double key)
{
    const double d = t - key;
    if (d < -kSortTolerance)
        return -1;
    if (d > kSortTolerance)
        return 1;
    return 0;
}

Row checkedRowCount(std::size_t n)
{
    if (n >= std::numeric_limits<Row>::max())
        throw std::length_error("sortOrder: too many rows");
    return static_cast<Row>(n);
}

// The binary insertion's 1-based place among m sorted keys, compareAt(k) comparing the new key
// with key k: after the last key when not smaller, before the first when not greater, else
// bisection that stops at the first equal key met and goes directly after it.
template <class CompareAt> std::size_t insertPlace(std::size_t m, const CompareAt &compareAt)
{
    if (m == 0)
        return 1;
    if (compareAt(m) >= 0)
        return m + 1;
    if (compareAt(1) <= 0)
        return 1;
    std::size_t lo = 1, hi = m;
    while (lo < hi - 1) {
        const std::size_t mid = (lo + hi) / 2;
        const int c = compareAt(mid);
        if (c == 0) {
            lo = mid;
            break;
        }
        if (c < 0)
            hi = mid;
        else
            lo = mid;
    }
    return lo + 1;
}

template <class Keys>
std::size_t insertPosition(const Keys &keys, std::string_view text, int kind, bool caseSensitive, Codeset codeset)
{
    const SortKind sortKind = sortKindFromCode(kind);
    const std::size_t m = keys.size();
    if (sortKind == SortKind::TruthValue)
        return isFalseTruthText(text, codeset) ? m + 1 : 1;
    // Compares text with key number `place` (1-based).
    const auto compareAt = [&](std::size_t place) {
        const std::string_view key = keys[place - 1];
        switch (sortKind) {
        case SortKind::Number:
            return compareValues(sortNumberValue(text), sortNumberValue(key));
        case SortKind::DateTime:
            return compareValues(sortDateTimeValue(text), sortDateTimeValue(key));
        default:
            return compareSortTexts(text, key, caseSensitive, codeset);
        }
    };
    return insertPlace(m, compareAt);
}

std::vector<std::size_t> widened(const std::vector<Row> &rows)
{
    return std::vector<std::size_t>(rows.begin(), rows.end());
}

// Truth values: each row that is not "假" goes first, each "假" goes last.
std::vector<std::size_t> truthOrder(std::span<const std::string_view> keys, Codeset codeset)
{
    std::vector<std::size_t> order;
    order.reserve(keys.size());
    for (std::size_t i = keys.size(); i-- > 0;) {
        if (!isFalseTruthText(keys[i], codeset))
            order.push_back(i);
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (isFalseTruthText(keys[i], codeset))
            order.push_back(i);
    }
    return order;
}

// Replays every insertion on a ranked list; compare(row, otherRow) compares two rows' keys.
template <class Compare> std::vector<std::size_t> replayInsertions(Row n, Compare compare)
{
    RankedRows sorted;
    for (Row i = 0; i < n; ++i) {
        const std::size_t place = insertPlace(i, [&](std::size_t k) { return compare(i, sorted.at(k - 1)); }) - 1;
        sorted.insert(place, i);
    }
    return widened(sorted.entries());
}

// A counting tree (Fenwick tree) over slots 0..size-1.
class CountingTree
{
  public:
    explicit CountingTree(Row size) : m_tree(size + 1, 0) {}

    // Every slot counts 1.
    void fillWithOnes()
    {
        for (std::size_t i = 1; i < m_tree.size(); ++i)
            m_tree[i] = static_cast<Row>(i & (~i + 1));
    }

    void add(Row slot, Row delta)
    {
        for (std::size_t i = std::size_t{slot} + 1; i < m_tree.size(); i += i & (~i + 1))
            m_tree[i] += delta;
    }

    void remove(Row slot)
    {
        for (std::size_t i = std::size_t{slot} + 1; i < m_tree.size(); i += i & (~i + 1))
            --m_tree[i];
    }

    // The sum over slots 0..slot-1.
    Row countBelow(Row slot) const
    {
        Row sum = 0;
        for (std::size_t i = slot; i > 0; i &= i - 1)
            sum += m_tree[i];
        return sum;
    }

    // The slot that holds the k-th count (k from 1), when every count is 0 or 1.
    Row slotOfKth(Row k) const
    {
        std::size_t pos = 0;
        std::size_t step = 1;
        while (step * 2 < m_tree.size())
            step *= 2;
        for (; step > 0; step /= 2) {
            if (pos + step < m_tree.size() && m_tree[pos + step] < k) {
                pos += step;
                k -= m_tree[pos];
            }
        }
        return static_cast<Row>(pos);
    }

  private:
    std::vector<Row> m_tree;
};

// Arranges one class: members[j] (in arrival order) was inserted at place within[j] among
// the j members before it. Writes the final arrangement to out.
void arrangeClass(const Row *members, const Row *within, Row count, std::size_t *out)
{
    if (count <= 64) {
        for (Row j = 0; j < count; ++j) {
            std::copy_backward(out + within[j], out + j, out + j + 1);
            out[within[j]] = members[j];
        }
        return;
    }
    // The last member's place is final; going backwards, each member takes the free slot
    // that its place names among the slots not taken by later members.
    CountingTree free(count);
    free.fillWithOnes();
    for (Row j = count; j-- > 0;) {
        const Row slot = free.slotOfKth(within[j] + 1);
        out[slot] = members[j];
        free.remove(slot);
    }
}

// The insertion order when every row's key belongs to a class of equal keys, classOf[row]
// numbering the classes in ascending key order.
std::vector<std::size_t> orderFromClasses(const std::vector<Row> &classOf, Row classCount)
{
    const auto n = static_cast<Row>(classOf.size());
    std::vector<Row> start(std::size_t{classCount} + 1, 0);
    for (const Row c : classOf)
        ++start[c + 1];
    for (Row c = 0; c < classCount; ++c)
        start[c + 1] += start[c];

    std::vector<Row> next(start.begin(), start.end() - 1);
    std::vector<Row> members(n), within(n);
    std::vector<Row> present(classCount, 0);
    CountingTree seen(classCount);
    Row minClass = 0, maxClass = 0;
    for (Row i = 0; i < n; ++i) {
        const Row c = classOf[i];
        const Row count = present[c];
        Row place; // among the members of class c seen so far
        if (i == 0) {
            place = 0;
            minClass = maxClass = c;
        } else if (c >= maxClass) {
            place = count; // not smaller than the last key: appended
        } else if (c <= minClass) {
            place = 0; // not greater than the first key: put first
        } else {
            // The class occupies places below+1 .. below+count (1-based) of the i keys so far.
            const std::uint64_t below = seen.countBelow(c);
            std::uint64_t lo = 1, hi = i;
            while (lo < hi - 1) {
                const std::uint64_t mid = (lo + hi) / 2;
                if (mid > below + count) {
                    hi = mid;
                } else if (mid > below) {
                    lo = mid;
                    break;
                } else {
                    lo = mid;
                }
            }
            place = static_cast<Row>(lo - below);
        }
        seen.add(c, 1);
        ++present[c];
        minClass = std::min(minClass, c);
        maxClass = std::max(maxClass, c);
        const Row slot = next[c]++;
        members[slot] = i;
        within[slot] = place;
    }

    std::vector<std::size_t> order(n);
    for (Row c = 0; c < classCount; ++c)
        arrangeClass(members.data() + start[c], within.data() + start[c], start[c + 1] - start[c],
                     order.data() + start[c]);
    return order;
}

inline unsigned char lowerAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// A text key with its first eight (folded) bytes packed big-endian, so that most
// comparisons of the class sort are decided without reading the text.
struct TextKey {
    std::uint64_t head;
    const char *data;
    Row size;
    Row row;

    std::string_view view() const { return {data, size}; }
};

std::uint64_t packedHead(std::string_view key, bool caseSensitive, Codeset codeset)
{
    const std::size_t n = std::min<std::size_t>(8, key.size());
    std::uint64_t head = 0;
    std::size_t rest = 0;
    for (std::size_t i = 0; i < n; ++i) {
        auto b = static_cast<unsigned char>(key[i]);
        if (!caseSensitive) {
            if (codeset == Codeset::Utf8) {
                b = lowerAscii(b);
            } else {
                if (rest == 0) {
                    rest = text::charLength(key, i, codeset);
                    if (rest == 1)
                        b = lowerAscii(b);
                }
                --rest;
            }
        }
        head |= std::uint64_t{b} << (56 - 8 * i);
    }
    return head;
}

std::vector<std::size_t> textOrder(std::span<const std::string_view> keys, bool caseSensitive, Codeset codeset)
{
    const Row n = checkedRowCount(keys.size());
    std::vector<TextKey> sorted(n);
    for (Row i = 0; i < n; ++i) {
        if (keys[i].size() >= std::numeric_limits<Row>::max())
            throw std::length_error("sortOrder: key too long");
        sorted[i] = {packedHead(keys[i], caseSensitive, codeset), keys[i].data(), static_cast<Row>(keys[i].size()), i};
    }
    // Equal heads mean equal (folded) bytes up to the shorter text or eight bytes.
    const auto compare = [caseSensitive, codeset](const TextKey &a, const TextKey &b) {
        if (a.head != b.head)
            return a.head < b.head ? -1 : 1;
        if (!caseSensitive)
            return compareSortTexts(a.view(), b.view(), false, codeset);
        const std::size_t skip = std::min<std::size_t>({8, a.size, b.size});
        const int c = a.view().substr(skip).compare(b.view().substr(skip));
        return (c > 0) - (c < 0);
    };
    std::sort(sorted.begin(), sorted.end(), [&](const TextKey &a, const TextKey &b) { return compare(a, b) < 0; });

    std::vector<Row> classOf(n);
    Row classCount = 0;
    for (Row j = 0; j < n; ++j) {
        if (j == 0 || compare(sorted[j - 1], sorted[j]) != 0)
            ++classCount;
        classOf[sorted[j].row] = classCount - 1;
    }
    return orderFromClasses(classOf, classCount);
}

std::vector<double> convertedValues(std::span<const std::string_view> keys, SortKind kind)
{
    std::vector<double> values(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        values[i] = kind == SortKind::Number ? sortNumberValue(keys[i]) : sortDateTimeValue(keys[i]);
    return values;
}

std::vector<std::size_t> valueOrder(std::span<const std::string_view> keys, SortKind kind)
{
    const Row n = checkedRowCount(keys.size());
    const std::vector<double> values = convertedValues(keys, kind);
    struct ValueKey {
        double value;
        Row row;
    };
    std::vector<ValueKey> sorted(n);
    for (Row i = 0; i < n; ++i)
        sorted[i] = {values[i], i};
    std::sort(sorted.begin(), sorted.end(), [](const ValueKey &a, const ValueKey &b) { return a.value < b.value; });

    // Clusters: a gap wider than the tolerance starts a new one. Subtraction rounds
    // monotonically, so when every cluster is at most the tolerance wide, any two of its
    // values compare equal and any two values of different clusters compare unequal in the
    // direction of their clusters.
    std::vector<Row> classOf(n);
    Row classCount = 0;
    double clusterStart = 0;
    bool chained = false;
    for (Row j = 0; j < n && !chained; ++j) {
        if (j == 0 || sorted[j].value - sorted[j - 1].value > kSortTolerance) {
            ++classCount;
            clusterStart = sorted[j].value;
        } else if (sorted[j].value - clusterStart > kSortTolerance) {
            chained = true;
        }
        classOf[sorted[j].row] = classCount - 1;
    }
    if (!chained)
        return orderFromClasses(classOf, classCount);
    return replayInsertions(n, [&values](Row t, Row key) { return compareValues(values[t], values[key]); });
}

} // namespace

std::size_t sortInsertPosition(std::span<const std::string> keys, std::string_view text, int kind, bool caseSensitive,
                               Codeset codeset)
{
    return insertPosition(keys, text, kind, caseSensitive, codeset);
}

std::size_t sortInsertPosition(std::span<const std::string_view> keys, std::string_view text, int kind,
                               bool caseSensitive, Codeset codeset)
{
    return insertPosition(keys, text, kind, caseSensitive, codeset);
}

std::vector<std::size_t> sortOrder(std::span<const std::string_view> keys, int kind, bool caseSensitive,
                                   Codeset codeset)
{
    checkedRowCount(keys.size());
    switch (sortKindFromCode(kind)) {
    case SortKind::TruthValue:
        return truthOrder(keys, codeset);
    case SortKind::Number:
        return valueOrder(keys, SortKind::Number);
    case SortKind::DateTime:
        return valueOrder(keys, SortKind::DateTime);
    case SortKind::Text:
        break;
    }
    return textOrder(keys, caseSensitive, codeset);
}

std::vector<std::size_t> sortOrder(std::size_t rowCount, const SortKeyAt &keyAt, int kind, bool caseSensitive,
                                   Codeset codeset)
{
    checkedRowCount(rowCount);
    std::vector<std::string_view> keys(rowCount);
    for (std::size_t i = 0; i < rowCount; ++i)
        keys[i] = keyAt(i);
    return sortOrder(keys, kind, caseSensitive, codeset);
}

std::vector<std::size_t> sortedSourceRows(std::span<const std::string_view> keys, int kind, bool caseSensitive,
                                          bool ascending, Codeset codeset)
{
    std::vector<std::size_t> rows = sortOrder(keys, kind, caseSensitive, codeset);
    if (!ascending)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

std::vector<std::size_t> sortedSourceRows(std::size_t rowCount, const SortKeyAt &keyAt, int kind, bool caseSensitive,
                                          bool ascending, Codeset codeset)
{
    std::vector<std::size_t> rows = sortOrder(rowCount, keyAt, kind, caseSensitive, codeset);
    if (!ascending)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

std::vector<std::size_t> sortOrderByReplay(std::span<const std::string_view> keys, int kind, bool caseSensitive,
                                           Codeset codeset)
{
    const Row n = checkedRowCount(keys.size());
    const SortKind sortKind = sortKindFromCode(kind);
    if (sortKind == SortKind::TruthValue) {
        RankedRows sorted;
        for (Row i = 0; i < n; ++i)
            sorted.insert(isFalseTruthText(keys[i], codeset) ? i : 0, i);
        return widened(sorted.entries());
    }
    if (sortKind == SortKind::Text) {
        return replayInsertions(
            n, [&](Row t, Row key) { return compareSortTexts(keys[t], keys[key], caseSensitive, codeset); });
    }
    const std::vector<double> values = convertedValues(keys, sortKind);
    return replayInsertions(n, [&values](Row t, Row key) { return compareValues(values[t], values[key]); });
}

} // namespace quorvel
