#pragma once

#include <string>

#include "fileops/file_op_result.h"

namespace quorvel {

// Removes the entry at `path` for good: a file, a link (never what it points to) or a
// folder with everything in it. A folder's removal carries on past entries that cannot be
// removed and then fails, naming the first one and how many entries stayed.
FileOpResult deletePermanently(const std::string &path);

} // namespace quorvel
