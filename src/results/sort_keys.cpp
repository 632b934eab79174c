#include "results/sort_keys.h"

#include <cfloat>
#include <charconv>
#include <system_error>

#include "text/characters.h"

namespace quorvel {
namespace {

inline unsigned char byteAt(std::string_view text, std::size_t pos)
{
    return static_cast<unsigned char>(text[pos]);
}

inline bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// White space as isspace sees it in the C locale.
inline bool isCSpace(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline unsigned char lowerAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// For a decimal number that does not fit a double: true when it is too large, false when
// it is too small. `number` starts with a digit or with "." and a digit. Only the position
// of the first significant digit and the exponent matter, since a number out of range is
// at least 300 orders of magnitude away from 1.
bool isTooLarge(std::string_view number)
{
    std::size_t i = 0;
    long long magnitude = 0;
    bool seenSignificant = false;
    while (i < number.size() && isDigit(byteAt(number, i))) {
        if (seenSignificant)
            ++magnitude;
        else if (number[i] != '0')
            seenSignificant = true;
        ++i;
    }
    if (i < number.size() && number[i] == '.') {
        ++i;
        while (i < number.size() && isDigit(byteAt(number, i))) {
            if (!seenSignificant) {
                --magnitude;
                if (number[i] != '0')
                    seenSignificant = true;
            }
            ++i;
        }
    }
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < number.size() && (number[j] == '+' || number[j] == '-'))
            negative = number[j++] == '-';
        long long exponent = 0;
        for (; j < number.size() && isDigit(byteAt(number, j)); ++j) {
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (number[j] - '0');
        }
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude > 0;
}

// Reads the date-time forms of sortDateTimeValue from left to right.
class DateTimeReader
{
  public:
    explicit DateTimeReader(std::string_view text) : m_text(text) {}

    std::size_t position() const { return m_pos; }
    void moveTo(std::size_t pos) { m_pos = pos; }
    bool atEnd() const { return m_pos == m_text.size(); }

    void skipSpaces()
    {
        while (m_pos < m_text.size() && isCSpace(byteAt(m_text, m_pos)))
            ++m_pos;
    }

    // Between minDigits and maxDigits decimal digits, and no further digit after them.
    bool number(int minDigits, int maxDigits, int &value)
    {
        int count = 0;
        value = 0;
        while (m_pos < m_text.size() && isDigit(byteAt(m_text, m_pos))) {
            if (++count > maxDigits)
                return false;
            value = value * 10 + (m_text[m_pos] - '0');
            ++m_pos;
        }
        return count >= minDigits;
    }

    bool literal(std::string_view word)
    {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }

    // A Chinese date marker (年, 月 or 日) in UTF-8 or in GBK.
    bool marker(std::string_view utf8, std::string_view gbk) { return literal(utf8) || literal(gbk); }

    bool oneOf(std::string_view characters, char &which)
    {
        if (m_pos >= m_text.size() || characters.find(m_text[m_pos]) == std::string_view::npos)
            return false;
        which = m_text[m_pos++];
        return true;
    }

    // Fraction digits after a decimal point, as a value below 1.
    double fraction()
    {
        double value = 0, scale = 0.1;
        while (m_pos < m_text.size() && isDigit(byteAt(m_text, m_pos))) {
            value += (m_text[m_pos] - '0') * scale;
            scale /= 10;
            ++m_pos;
        }
        return value;
    }

  private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

struct CalendarDay {
    int year, month, day;
};

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given day of the proleptic Gregorian calendar.
long long daysFromCivil(int year, int month, int day)
{
    const long long y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool readDate(DateTimeReader &reader, CalendarDay &date)
{
    if (!reader.number(3, 4, date.year))
        return false;
    char separator = 0;
    if (reader.oneOf("-/.", separator)) {
        char second = 0;
        if (!reader.number(1, 2, date.month) || !reader.oneOf("-/.", second) || second != separator ||
            !reader.number(1, 2, date.day))
            return false;
    } else if (!reader.marker("\xE5\xB9\xB4", "\xC4\xEA") || !reader.number(1, 2, date.month) ||
               !reader.marker("\xE6\x9C\x88", "\xD4\xC2") || !reader.number(1, 2, date.day) ||
               !reader.marker("\xE6\x97\xA5", "\xC8\xD5")) {
        return false;
    }
    return date.year >= 100 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= daysInMonth(date.year, date.month);
}

// Reads H:MM[:SS[.fff]] and gives the fraction of a day.
bool readTime(DateTimeReader &reader, double &dayFraction)
{
    int hour = 0, minute = 0, second = 0;
    double secondFraction = 0;
    if (!reader.number(1, 2, hour) || !reader.literal(":") || !reader.number(1, 2, minute))
        return false;
    if (reader.literal(":")) {
        if (!reader.number(1, 2, second))
            return false;
        if (reader.literal("."))
            secondFraction = reader.fraction();
    }
    if (hour > 23 || minute > 59 || second > 59)
        return false;
    dayFraction = (hour * 3600.0 + minute * 60.0 + second + secondFraction) / 86400.0;
    return true;
}

} // namespace

SortKind sortKindFromCode(int code)
{
    switch (code) {
    case 0:
        return SortKind::Number;
    case 2:
        return SortKind::DateTime;
    case 3:
        return SortKind::TruthValue;
    default:
        return SortKind::Text;
    }
}

double sortNumberValue(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isCSpace(byteAt(text, i)))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const bool startsNumber =
        i < text.size() &&
        (isDigit(byteAt(text, i)) || (text[i] == '.' && i + 1 < text.size() && isDigit(byteAt(text, i + 1))));
    if (!startsNumber)
        return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = isTooLarge(text.substr(i)) ? DBL_MAX : 0.0;
    else if (result.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

double sortDateTimeValue(std::string_view text)
{
    DateTimeReader reader(text);
    reader.skipSpaces();
    const std::size_t start = reader.position();
    double days = 0;
    double dayFraction = 0;
    CalendarDay date{};
    if (readDate(reader, date)) {
        days = static_cast<double>(daysFromCivil(date.year, date.month, date.day) - daysFromCivil(1899, 12, 30));
        const std::size_t afterDate = reader.position();
        reader.skipSpaces();
        const bool spaced = reader.position() > afterDate;
        if (!reader.atEnd()) {
            if (!spaced && !reader.literal("T"))
                return kEarliestSortDay;
            if (!readTime(reader, dayFraction))
                return kEarliestSortDay;
        }
    } else {
        reader.moveTo(start);
        if (!readTime(reader, dayFraction))
            return kEarliestSortDay;
    }
    reader.skipSpaces();
    return reader.atEnd() ? days + dayFraction : kEarliestSortDay;
}

int compareSortTexts(std::string_view a, std::string_view b, bool caseSensitive, text::Codeset codeset)
{
    if (caseSensitive) {
        const int c = a.compare(b);
        return (c > 0) - (c < 0);
    }
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    if (codeset == text::Codeset::Utf8) {
        // No byte of a multibyte UTF-8 character is an ASCII letter: every byte folds alone.
        for (std::size_t i = 0; i < common; ++i) {
            const unsigned char x = lowerAscii(byteAt(a, i)), y = lowerAscii(byteAt(b, i));
            if (x != y)
                return x < y ? -1 : 1;
        }
    } else {
        // A GBK trail byte may be a letter; it keeps its case, so each side tracks where
        // its own characters start.
        std::size_t restA = 0, restB = 0;
        for (std::size_t i = 0; i < common; ++i) {
            unsigned char x = byteAt(a, i), y = byteAt(b, i);
            if (restA == 0) {
                restA = text::charLength(a, i, codeset);
                if (restA == 1)
                    x = lowerAscii(x);
            }
            if (restB == 0) {
                restB = text::charLength(b, i, codeset);
                if (restB == 1)
                    y = lowerAscii(y);
            }
            --restA;
            --restB;
            if (x != y)
                return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool isFalseTruthText(std::string_view text, text::Codeset codeset)
{
    return text == (codeset == text::Codeset::Gbk ? std::string_view("\xBC\xD9") : std::string_view("\xE5\x81\x87"));
}

} // namespace quorvel
