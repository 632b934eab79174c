#pragma once

#include <string_view>

#include "text/codeset.h"

namespace quorvel {

// The key kinds of a column sort. A kind is passed around as its code (0 to 3, as the
// general sort routine takes it); any other code sorts as Text.
enum class SortKind { Number = 0, Text = 1, DateTime = 2, TruthValue = 3 };

SortKind sortKindFromCode(int code);

// Converted keys (numbers and day numbers) closer than this count as equal.
inline constexpr double kSortTolerance = 1e-7;

// The day number of 0100-01-01, the earliest date the date-time conversion knows. A text
// that is no date-time sorts as this day, before every real date.
inline constexpr double kEarliestSortDay = -657434.0;

// The number a text starts with, read as strtod reads a decimal number in the C locale:
// leading white space, an optional sign, digits with an optional "." and fraction, an
// optional exponent; whatever follows is ignored ("12.5kg" is 12.5, "1e3.txt" is 1000).
// A text that starts with no number is 0. Only decimal numbers count: "inf", "nan" and
// "0x1A" read as 0, 0 and 0, so that every key is a finite number and the tolerance
// comparison always decides. A number too large for a double is the largest finite double
// of its sign; one too small is 0.
double sortNumberValue(std::string_view text);

// The day number of a date-time text: days since 1899-12-30, with the time of day as the
// fraction, counted on one straight line also before 1899-12-30 (06:00 on 1899-12-29 is
// -0.75), so that a later moment always has a larger number. The whole text, apart from
// white space around it, must be one of:
//   date         2024-03-05, 2024/3/5, 2024.3.5, 2024年3月5日 (年月日 in UTF-8 or GBK)
//   date time    a date, then spaces or "T", then a time
//   time         14:30, 14:30:05, 14:30:05.25 (the day is 1899-12-30, day number 0)
// with a year from 100 to 9999 (three or four digits), a real calendar day, hours 0-23,
// minutes and seconds 0-59. Anything else is no date-time and gives kEarliestSortDay.
double sortDateTimeValue(std::string_view text);

// Compares two texts as sequences of unsigned bytes, the first differing byte deciding and
// a text that begins the other being the smaller: negative, 0 or positive. Without regard
// to case the ASCII letters A-Z count as a-z; in GBK a letter that is the second byte of a
// double-byte character keeps its byte.
int compareSortTexts(std::string_view a, std::string_view b, bool caseSensitive, text::Codeset codeset);

// True when the text is exactly the truth value "false" (假) in the codeset.
bool isFalseTruthText(std::string_view text, text::Codeset codeset);

} // namespace quorvel
