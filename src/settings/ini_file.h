#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/codeset.h"

// The program's INI files (config.ini, gxbx.ini): "[section]" header lines, then one
// "key=value" line per key, CR LF line ends, text in the system codeset.
//
// Reading accepts what editors and older copies leave behind: LF-only or CR LF lines, a
// UTF-8 byte-order mark, spaces and tabs around names and values, a last line without a
// line break, and (under a UTF-8 codeset) a file written in GBK by an older Windows copy.
// Section and key names compare with the ASCII letters' case ignored, as the Windows
// profile functions compare them; only the first section of a name and the first key of a
// name within it count. Values have no length limit.
//
// Writing changes only the one line it has to: every other line (other sections, other
// keys, comments, blank lines, unknown lines) keeps its bytes and its line end, and the
// file is replaced atomically, so a failure leaves the old file as it was.
namespace quorvel {

// ---- Over an INI text held in memory (bytes in `codeset`) ----

// The value of key in section, with the spaces and tabs around it removed; nothing when
// the section or the key is missing. An empty value ("key=") is an empty text, not nothing.
std::optional<std::string> findIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                                        text::Codeset codeset);

// The text with key set to value: an existing key gets the new value in its own line
// (the text before the "=" and the line's own line end are kept); a missing key becomes
// the line "key=value" CR LF after the last non-blank line of its section; a missing
// section becomes "[section]" CR LF "key=value" CR LF at the end of the text (after a
// CR LF when the last line had no line break). Names and value must pass
// iniEntryProblem; the text is not changed otherwise.
std::string withIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                         std::string_view value, text::Codeset codeset);

// Why this section, key and value cannot be stored, or the empty text when they can.
// A line break or a zero byte anywhere would break the file apart; a section name must not
// hold "]" and a key must not hold "=" or start with "["; names must not be empty or have
// spaces at either end (they could not be found again). A value may be empty and may hold
// anything else, "=" included, but spaces at its ends do not survive reading.
std::string iniEntryProblem(std::string_view section, std::string_view key, std::string_view value);

// The value as findIniValue will return it after withIniValue stored `value`: without the
// spaces and tabs at its ends.
std::string_view trimmedIniValue(std::string_view value);

// ---- On a file (bytes in the system codeset) ----

// The file's text in the system codeset (GBK text decoded when the codeset is UTF-8 and the
// file is not valid UTF-8); the empty text when the file is missing or cannot be read.
std::string readIniText(const std::string &path);

// findIniValue on the file; the empty text when the file, the section or the key is missing.
std::string readIniValue(const std::string &path, std::string_view section, std::string_view key);

// Sets key to value in section of the file, creating the file and the section when they
// are missing, and replaces the file atomically. Returns the empty text on success, else
// why nothing was written: the entry is unfit (iniEntryProblem), the file exists but
// cannot be read (writing would lose what it holds), or the replacement failed (the old
// file is then untouched). The window ignores the text, as a failed option write is
// silent; tests and other callers can see it. A file that an older copy wrote in GBK is
// written back in the system codeset.
std::string writeIniValue(const std::string &path, std::string_view section, std::string_view key,
                          std::string_view value);

// As writeIniValue for several keys of one section, in order, with one atomic replacement:
// either every key is written or none is.
std::string writeIniValues(const std::string &path, std::string_view section,
                           const std::vector<std::pair<std::string, std::string>> &keysAndValues);

} // namespace quorvel
