#pragma once

#include <functional>
#include <string>
#include <vector>

#include "search/found_rows.h"
#include "search/walk_options.h"
#include "text/codeset.h"

namespace quorvel {

// The file-name search. Walks every root in turn, breadth-first: a folder's subfolders are
// queued in the order the filesystem returns them, then its files are tested, so a root's
// own files come first, then those of each subfolder in queue order, and so on. Every file
// is tested against every keyword in keyword order; each matching keyword gives one row
// (a file matching three keywords gives three rows). fuzzy: the keyword occurs in the name
// at a character boundary; exact: it equals the name or the name without its last
// extension (the text before the last '.', when that is not the first character). ASCII
// letters match without regard to case; rows keep the names as stored on disk.
//
// A row's path is the folder's path with its closing "/" followed by the name ("/" stays
// "/", a relative root stays relative); its name column is the name. Folders are never
// hits. Links to folders are never walked (a root that is a link is followed); a link to
// a folder is not a file, every other link is.
//
// Rows reach the sink in the order found, in batches (see RowFlusher). A root or folder
// that cannot be opened yields nothing and is passed to the sink's folderFailed; the walk
// goes on. Runs on the calling thread (plus listing threads, as options say) and returns
// when the walk is done or stop is raised; stop is polled at least once per file and per
// folder. progress, when given, is called at most every ~25 ms and once at the end.
void searchFileNames(const std::vector<std::string> &keywords, const std::vector<std::string> &roots, bool fuzzy,
                     RowSink &sink, const StopFlag &stop,
                     const std::function<void(const WalkProgress &)> &progress = {},
                     text::Codeset codeset = text::systemCodeset(), const WalkOptions &options = {});

} // namespace quorvel
