#include "text/conversion.h"

#include <iconv.h>

#include <cerrno>

#include "text/characters.h"

namespace quorvel::text {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// One iconv conversion descriptor, opened on first use and closed at thread exit.
class Converter
{
  public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts one whole character; false when iconv cannot.
    bool convert(std::string_view in, std::string &out)
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char *inPtr = const_cast<char *>(in.data());
        std::size_t inLeft = in.size();
        char *outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return false;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        return true;
    }

  private:
    iconv_t m_cd;
};

Converter &gbkToUtf8()
{
    thread_local Converter converter("UTF-8", "GB18030");
    return converter;
}

Converter &utf8ToGbk()
{
    thread_local Converter converter("GB18030", "UTF-8");
    return converter;
}

} // namespace

bool isValidUtf8(std::string_view bytes)
{
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = charLength(bytes, pos, Codeset::Utf8);
        if (length == 1 && static_cast<unsigned char>(bytes[pos]) >= 0x80)
            return false;
        pos += length;
    }
    return true;
}

std::string toDisplayUtf8(std::string_view bytes, Codeset codeset)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = charLength(bytes, pos, codeset);
        const std::string_view ch = bytes.substr(pos, length);
        if (static_cast<unsigned char>(ch[0]) < 0x80) {
            out += ch;
        } else if (codeset == Codeset::Utf8) {
            out += length > 1 ? ch : kReplacement;
        } else if (length == 1 || !gbkToUtf8().convert(ch, out)) {
            out += kReplacement;
        }
        pos += length;
    }
    return out;
}

std::string fromUtf8(std::string_view utf8, Codeset codeset)
{
    if (codeset == Codeset::Utf8)
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t length = charLength(utf8, pos, Codeset::Utf8);
        const std::string_view ch = utf8.substr(pos, length);
        if (static_cast<unsigned char>(ch[0]) < 0x80)
            out += ch;
        else if (length == 1 || !utf8ToGbk().convert(ch, out))
            out += '?';
        pos += length;
    }
    return out;
}

std::string fromProgramFile(std::string_view bytes, Codeset codeset)
{
    if (codeset == Codeset::Gbk || isValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = charLength(bytes, pos, Codeset::Gbk);
        const std::string_view ch = bytes.substr(pos, length);
        if (static_cast<unsigned char>(ch[0]) < 0x80)
            out += ch;
        else if (length == 1 || !gbkToUtf8().convert(ch, out))
            out += kReplacement;
        pos += length;
    }
    return out;
}

} // namespace quorvel::text
