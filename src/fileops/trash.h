#pragma once

#include <string>
#include <string_view>

#include "fileops/file_op_result.h"

namespace quorvel {

// Moves the file, link or folder at `path` into the freedesktop.org trash, where any file
// manager lists it and can restore it:
// - an entry on the volume of the home trash ($XDG_DATA_HOME/Trash, homeTrashFolder()) goes
//   there; the trash is created when missing;
// - an entry on another volume goes to that volume's $topdir/.Trash/$uid when $topdir/.Trash
//   is a real folder (not a link) with the sticky bit, else to $topdir/.Trash-$uid, created
//   when missing; a trash folder that is a link or belongs to another user is not used.
// The entry gets a name unique in that trash ("name", "name (2).ext", ...). Its
// info/<name>.trashinfo (the original path, percent-encoded: absolute for the home trash,
// relative to $topdir for a volume trash; DeletionDate in local time) is created
// exclusively first and the entry renamed second, so a crash in between leaves at worst an
// info file without an entry, never an entry that cannot be restored. Nothing is copied: a
// trash on another filesystem than the entry is never used.
//
// CannotTrash when no trash can be used for the entry (none can be made on its volume, or
// the only one is on another filesystem); Failed when the entry itself cannot be moved
// (missing, no right to change its folder, busy). With CannotTrash, deletePermanently may
// still work, so the caller may offer it.
FileOpResult moveToTrash(const std::string &path);

// The home trash: $XDG_DATA_HOME/Trash, or $HOME/.local/share/Trash when XDG_DATA_HOME is
// unset, empty or not absolute. Empty when neither gives a folder.
std::string homeTrashFolder();

// A path in the form of a .trashinfo Path value: every byte but the ASCII letters and
// digits and "-._~/" becomes %XX (upper-case hex), so names in any codeset, with spaces,
// "%" or line breaks survive a reader that decodes it byte for byte.
std::string percentEncodePath(std::string_view path);

} // namespace quorvel
