#pragma once

// The actions of quorvel-find: copy, move or trash the entry of every printed row once the
// walk has ended.

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "cli/find_options.h"
#include "fileops/file_op_result.h"
#include "search/found_rows.h"

namespace quorvel {

// Empty when `folder` names an existing folder (a link to one counts), else why it cannot
// receive entries (the system's reason, or "not a folder"). Checked before the walk, so a
// mistyped destination costs no search.
std::string destinationFolderProblem(const std::string &folder);

// How an action run went.
struct RowActionTally {
    std::size_t entries = 0; // distinct paths of the rows
    std::size_t done = 0;
    std::size_t failed = 0;
    std::size_t notDone = 0; // left untouched because the run was interrupted
    bool interrupted = false;
};

// One line for each failure: the entry's path and the reason, as the operation gave it.
using FailureReport = std::function<void(const std::string &path, const std::string &reason)>;

// Takes the next piece of a long text; false stops the writer (the output is gone).
using TextSink = std::function<bool(std::string_view piece)>;

// Every distinct path handed to it, once, in the order first handed. Paths are packed into
// large blocks and found again through an open-addressing table, so a million rows cost
// about their bytes plus 40 bytes each, not a heap node apiece.
class DistinctPaths
{
  public:
    // False when the path was there already.
    bool add(std::string_view path);
    bool contains(std::string_view path) const;
    std::size_t size() const { return m_paths.size(); }
    std::string_view operator[](std::size_t i) const { return m_paths[i]; }

  private:
    struct Slot {
        std::uint32_t entry = 0; // index + 1; 0 for a free slot
        std::uint32_t hashTag = 0;
    };
    std::size_t findSlot(std::string_view path, std::uint64_t hash) const;
    void grow();

    std::vector<std::string> m_blocks; // never reallocated once filled, so views stay valid
    std::vector<std::string_view> m_paths;
    std::vector<std::uint64_t> m_hashes; // of each path, so growing reads no path again
    std::vector<Slot> m_slots;
};

// Collects the rows' paths as they are printed and then applies the action of the options
// to each distinct path once, in the order printed. Paths are raw bytes throughout; no
// shell is involved.
class RowActions
{
  public:
    explicit RowActions(const FindOptions &options);

    // A printed row. A path already seen (a second keyword's row for the same file) adds
    // nothing.
    void addRow(std::string_view path) { m_entries.add(path); }
    std::size_t entryCount() const { return m_entries.size(); }

    // What --dry-run prints: "copy PATH -> DIR", "move PATH -> DIR" or "trash PATH" per
    // entry, each ended by `end`, handed to `out` in pieces. False when `out` refused one.
    bool printDryRun(char end, const TextSink &out) const;

    // Performs the action on every entry, reporting each failure as it happens. A failure
    // never stops the run; `interrupt` does, between entries and within a long copy (the
    // entry under way is then left as it was, and it and the rest count as not done).
    //
    // Moves and trashing guard against two ways in which the plain per-entry operation would
    // go wrong within one run:
    // - an entry whose folder the run already moved or trashed went along with it: it
    //   counts as done instead of failing as missing;
    // - a move that would replace (clash mode Replace) an entry that an earlier row put into
    //   DIR, or an entry that is itself one of the rows, is refused and the entry stays
    //   where it is; replacing it would destroy a file the user asked to keep.
    RowActionTally perform(const FailureReport &report, const StopFlag &interrupt);

    // The summary line without the program name, e.g. "copied 12 of 13 entries to DIR; 1
    // failed", "moved 3 of 3 entries to the trash".
    std::string summary(const RowActionTally &tally) const;

  private:
    bool wentAlongWithFolder(const std::string &path) const;
    std::string refusedReplacement(const std::string &path) const;

    RowAction m_action;
    std::string m_folder;
    ClashMode m_clash;
    DistinctPaths m_entries;
    std::unordered_set<std::string> m_gone;   // paths this run moved or trashed away
    std::unordered_set<std::string> m_placed; // names this run put into the destination
};

// While it lives, SIGINT, SIGTERM and SIGHUP raise `flag()` instead of ending the program,
// so an operation under way can stop cleanly (a half-made copy is removed, a source not
// yet copied whole is kept). Afterwards the caller reports what was done and calls
// endAsSignalled(), which ends the program by the caught signal, as the shell expects.
class InterruptCatcher
{
  public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher &) = delete;
    InterruptCatcher &operator=(const InterruptCatcher &) = delete;

    const StopFlag &flag() const;
    // Restores the signals' previous handling and, when one was caught, raises it again.
    void endAsSignalled();

  private:
    struct sigaction m_previous[3];
    bool m_restored = false;
};

} // namespace quorvel
