#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "search/found_rows.h"
#include "search/walk_options.h"
#include "text/codeset.h"

namespace quorvel {

// Every folder of one root, children before their parent: the root itself first, then,
// depth-first, each subfolder's own list followed by the subfolder (for a root /work holding
// a, which holds a1 and a2, and b: /work, /work/a/a1, /work/a/a2, /work/a, /work/b).
// Subfolders are taken in the order the filesystem returns them; a child's path is its
// parent's path, a "/" unless the parent already ends with one, and its name. A link to a
// folder is listed but never walked. A root that names no folder gives the empty list; a
// folder that cannot be listed gives itself but no subfolders. Iterative: any depth.
std::vector<std::string> collectFolders(const std::string &root, const WalkOptions &options = {});

// The folder-name search. Root by root: collects the root's folders as collectFolders
// does, then tests them keyword by keyword, in keyword order, each keyword against the
// folders in list order; every hit is a row (path only, name column empty). The name of a
// folder is its path after the last "/" (all of it when there is none; nothing for a root
// given with a closing "/", which never matches). exact: the name and the keyword are
// equal, ASCII letters without regard to case; otherwise the keyword occurs in the name at
// a character boundary, ASCII letters without regard to case. `exact` is read as the
// search goes: a change applies to the tests after the moment it is seen.
//
// Rows reach the sink in the order found, in batches; stop is polled at least once per
// folder and per test that gives a row; progress counts the folders collected. Roots and
// folders that cannot be opened go to the sink's folderFailed.
void searchFolderNames(const std::vector<std::string> &keywords, const std::vector<std::string> &roots,
                       const std::atomic<bool> &exact, RowSink &sink, const StopFlag &stop,
                       const std::function<void(const WalkProgress &)> &progress = {},
                       text::Codeset codeset = text::systemCodeset(), const WalkOptions &options = {});

} // namespace quorvel
