#pragma once

#include <optional>
#include <string_view>

namespace quorvel::text {

// The two families of byte encodings that names, keywords and the program's files may use.
// Gbk stands for GBK and its superset GB18030: double-byte characters, plus GB18030's
// four-byte ones.
enum class Codeset { Utf8, Gbk };

// The codeset of the system: the locale's LC_CTYPE codeset (UTF-8 on nearly every system)
// unless setSystemCodeset has overridden it. Anything that is not a GBK family codeset
// counts as UTF-8.
Codeset systemCodeset();

// Overrides the system codeset for the rest of the process (tests, `--charset`).
void setSystemCodeset(Codeset codeset);

// Reads the codeset of the current locale (call setlocale first). Does not cache.
Codeset codesetOfLocale();

// "utf-8", "UTF8", "gbk", "GB18030", "gb2312", "cp936" ...; nothing for an unknown name.
std::optional<Codeset> codesetFromName(std::string_view name);

// The full-width space of the codeset: U+3000 (E3 80 80) in UTF-8, A1 A1 in GBK.
std::string_view fullWidthSpace(Codeset codeset);

} // namespace quorvel::text
