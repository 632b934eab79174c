#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The mount points listed in a /proc/self/mountinfo text, in the order given, with the
// kernel's octal escapes (\040 for a space and so on) decoded (parseMountinfo's reading).
std::vector<std::string> parseMountPoints(std::string_view mountinfo);

// The mount point of the filesystem that holds canonicalPath (absolute, free of links,
// "." and ".."): the longest mount point of this process's mount table that contains it.
// When the table cannot be read it is the highest folder above canonicalPath on the same
// device. This is the "top folder" of a volume, where a volume's trash lives.
std::string mountPointOf(const std::string &canonicalPath);

} // namespace quorvel
