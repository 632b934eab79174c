#include "text/codeset.h"

#include <langinfo.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <string>

namespace quorvel::text {
namespace {

std::atomic<int> g_override{-1};

std::string normalisedName(std::string_view name)
{
    std::string out;
    for (char c : name) {
        if (c == '-' || c == '_')
            continue;
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

} // namespace

std::optional<Codeset> codesetFromName(std::string_view name)
{
    const std::string n = normalisedName(name);
    if (n == "utf8")
        return Codeset::Utf8;
    if (n == "gbk" || n == "gb18030" || n == "gb2312" || n == "cp936" || n == "euccn")
        return Codeset::Gbk;
    return std::nullopt;
}

Codeset codesetOfLocale()
{
    const char *name = nl_langinfo(CODESET);
    return name ? codesetFromName(name).value_or(Codeset::Utf8) : Codeset::Utf8;
}

Codeset systemCodeset()
{
    const int forced = g_override.load(std::memory_order_relaxed);
    if (forced >= 0)
        return static_cast<Codeset>(forced);
    static const Codeset fromLocale = codesetOfLocale();
    return fromLocale;
}

void setSystemCodeset(Codeset codeset)
{
    g_override.store(static_cast<int>(codeset), std::memory_order_relaxed);
}

std::string_view fullWidthSpace(Codeset codeset)
{
    return codeset == Codeset::Utf8 ? std::string_view("\xE3\x80\x80", 3) : std::string_view("\xA1\xA1", 2);
}

} // namespace quorvel::text
