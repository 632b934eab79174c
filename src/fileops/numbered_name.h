#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvel {

// Where the extension of a file name starts (the index of its dot), or npos when the name
// has none. The extension is the text from the last dot, except that:
// - leading dots belong to the name, so ".profile" and "..x" have no extension while
//   ".bashrc.bak" has ".bak";
// - a name ending in a dot ("a.") has none;
// - a compressed tar archive keeps both parts: "a.tar.gz" has ".tar.gz" (also .tar.bz2,
//   .tar.xz, .tar.zst, .tar.lz, .tar.lzma, .tar.lz4, .tar.Z), so its copy becomes
//   "a (2).tar.gz" and still opens as an archive.
std::size_t extensionStart(std::string_view name);

// The name that the number-th entry called `name` gets when the earlier ones are taken:
// "report (2).txt", "a (3).tar.gz", ".profile (2)". A folder's name is never split at a
// dot: "my.photos (2)". number must be 2 or more. The dot is ASCII, so this never splits a
// multibyte character of UTF-8 or GBK.
std::string numberedName(std::string_view name, unsigned number, bool isFolder);

} // namespace quorvel
