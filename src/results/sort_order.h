#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "results/sort_keys.h"
#include "text/codeset.h"

namespace quorvel {

// The order of a column sort is that of a binary insertion: the rows are taken in list
// order, and each one is inserted into the sorted keys of the rows before it at the place
// that sortInsertPosition gives. Ties therefore fall in a fixed but unstable way: a key
// equal to the last key so far goes after it, one equal to the first key (and below the
// last) goes before it, and one that the bisection meets an equal of goes directly after
// that equal. Every function here gives exactly that order.
//
// kind is a key kind code (SortKind: 0 number, 1 text, 2 date-time, 3 truth value; any other
// code sorts as text). Texts are byte strings in `codeset`, which matters for case folding
// and for the truth value "假".

// The 1-based place at which `text` goes into `keys`, sorted keys of the rows so far: 1 puts
// it first, keys.size() + 1 after the last. It compares text with the key at the end first
// (not smaller: append), then with the key at the start (not greater: put first), then
// bisects by place and stops at the first equal key met, putting text directly after it.
// Numbers and date-times are converted at each comparison and differ only when they are
// more than kSortTolerance apart. For the truth value kind the place is keys.size() + 1 when
// the text is "假", else 1. This is the plain algorithm, O(log n) comparisons but O(n) moves
// per row for the caller that inserts into a flat array; use sortOrder for whole lists.
std::size_t sortInsertPosition(std::span<const std::string> keys, std::string_view text, int kind,
                               bool caseSensitive = true, text::Codeset codeset = text::systemCodeset());
std::size_t sortInsertPosition(std::span<const std::string_view> keys, std::string_view text, int kind,
                               bool caseSensitive = true, text::Codeset codeset = text::systemCodeset());

// The ascending order of a whole list: entry s is the row (0-based) whose key stands at place
// s after every row has been inserted as sortInsertPosition places it. keys[i] is the sort
// text of row i. Keys are compared in place as unsigned bytes and never copied; numbers and
// date-times are converted once per row. Time O(n log n) for text and truth value keys, and
// for number and date-time keys whose values do not form chains of near-equal values; such
// chains (values within kSortTolerance of each other that are not all within it of one
// another) make the order depend on every insertion, and are replayed in O(n log^2 n).
// Throws std::length_error for 2^32 rows or more.
std::vector<std::size_t> sortOrder(std::span<const std::string_view> keys, int kind, bool caseSensitive = true,
                                   text::Codeset codeset = text::systemCodeset());

// As above, with the key of row i given by keyAt(i) for i from 0 to rowCount - 1, each asked
// for once. The views must stay valid until the call returns.
using SortKeyAt = std::function<std::string_view(std::size_t)>;
std::vector<std::size_t> sortOrder(std::size_t rowCount, const SortKeyAt &keyAt, int kind, bool caseSensitive = true,
                                   text::Codeset codeset = text::systemCodeset());

// The source row of each position of the sorted list: the ascending order, or for
// descending its exact reverse (ties included). Position s of the sorted list shows the texts
// of row result[s].
std::vector<std::size_t> sortedSourceRows(std::span<const std::string_view> keys, int kind, bool caseSensitive,
                                          bool ascending, text::Codeset codeset = text::systemCodeset());
std::vector<std::size_t> sortedSourceRows(std::size_t rowCount, const SortKeyAt &keyAt, int kind, bool caseSensitive,
                                          bool ascending, text::Codeset codeset = text::systemCodeset());

// The same ascending order as sortOrder, found by replaying every insertion on a ranked list
// (O(n log^2 n) for every kind). sortOrder uses it for chained numbers and date-times; it is
// public so that it can be checked on its own against the plain insertion.
std::vector<std::size_t> sortOrderByReplay(std::span<const std::string_view> keys, int kind, bool caseSensitive = true,
                                           text::Codeset codeset = text::systemCodeset());

} // namespace quorvel
