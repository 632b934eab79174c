#pragma once

#include <string>

#include "fileops/file_op_result.h"

namespace quorvel {

// Copies the entry at `source` (a file, a symbolic link, any other non-folder, or a whole
// folder tree) into the folder `destinationFolder` under its own name. Links are copied
// as links, never followed. Permissions and access and modification times are kept, for
// folders and links too, where the destination filesystem can store them (a filesystem
// that cannot, such as FAT, does not make the copy fail). The owner is not copied.
//
// A clash with an entry of the same name is solved per `mode`:
// - Rename: the copy gets the first free name of "name", "name (2).ext", "name (3).ext",
//   ... (numberedName). The copy is built under a hidden temporary name and then given
//   its name in one step that fails when the name is taken, so no other process can take
//   the name in between and no name ever shows a half-made copy.
// - Replace: a file is written to a temporary name beside the old one, flushed to disk and
//   renamed over it, so a failed copy leaves the old file intact. A folder merges into an
//   existing folder (which keeps its own permissions), its files replacing those of the
//   same name one by one. A folder never replaces a file nor a file a folder: that clash
//   fails, since replacing it would destroy data that was not asked for.
//
// Safety: copying an entry onto itself never touches it (Replace: nothing to do,
// success; Rename: a copy with the next free name). A folder is never copied into itself
// or into its own subfolders (the check follows the real folders, not the spelling of the
// paths). When a copy fails or is cancelled, the source is untouched and a copy that
// was being built under a new name is removed again; in a merge the files already
// replaced stay replaced (each one whole).
FileOpResult copyEntry(const std::string &source, const std::string &destinationFolder, ClashMode mode,
                       const OperationControl &control = {});

// Moves the entry at `source` into the folder `destinationFolder`, with the clash rules
// of copyEntry. Within one filesystem it is a rename (atomic; with Rename the free name is
// taken by renameat2(RENAME_NOREPLACE), a hard link or a placeholder, never by testing
// first). Across filesystems it is a copy that keeps the owner where allowed, flushes
// every file to disk and checks its size, after which the source entries are removed
// one by one: only those that were copied and have not changed since (an entry added or
// modified during the move stays, and the move reports it). A failed or cancelled copy
// leaves the source untouched.
//
// Moving an entry into the folder it is already in does nothing and succeeds, with either
// mode. A folder merging into an existing folder moves its entries one by one; if one
// fails, the entries moved so far stay moved and the rest stay in the source.
FileOpResult moveEntry(const std::string &source, const std::string &destinationFolder, ClashMode mode,
                       const OperationControl &control = {});

} // namespace quorvel
