#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "search/found_rows.h"

namespace quorvel {

// What happens when the destination folder already holds an entry of the same name.
enum class ClashMode {
    // The new entry gets the first free name "name (2).ext", "name (3).ext", ...
    Rename,
    // The existing entry is replaced; a folder merges into an existing folder, replacing
    // the files of the same name.
    Replace,
};

enum class FileOpStatus {
    Done,
    // The operation failed; reason says why. Nothing of the user's was lost.
    Failed,
    // Only from moveToTrash: the entry is where it was because its volume has no usable
    // trash (none can be made, or it lies on another filesystem). Deleting it permanently
    // may still work, so the caller may ask the user whether to do that.
    CannotTrash,
    // The caller's cancel flag stopped the operation; nothing half-done is left behind
    // under a final name.
    Cancelled,
};

// The outcome of one operation on one entry. No operation throws; every failure ends here.
struct FileOpResult {
    FileOpStatus status = FileOpStatus::Failed;
    // When the operation did not succeed: what failed, on which path, and the system's
    // reason (strerror text), e.g. "cannot write /media/usb/a.iso: No space left on device".
    // Paths appear as their raw bytes.
    std::string reason;
    // The errno value behind reason (0 when there is none, e.g. a cancel).
    int errorNumber = 0;
    // On success: the path of the entry that now holds the data (the copy, the moved entry,
    // or the entry inside the trash's files folder).
    std::string target;

    bool ok() const { return status == FileOpStatus::Done; }
};

// How a long operation talks to its caller while it runs, from the operation's own thread.
struct OperationControl {
    // Called with the number of bytes copied so far by this operation (all files of a
    // folder counted together), at least once per 4 MiB of data and once at the end when
    // any data was copied. A rename copies nothing and reports nothing.
    std::function<void(std::uint64_t bytesDone)> onProgress;
    // Raised by another thread to stop the operation; polled before each entry and each
    // block of data.
    const StopFlag *cancel = nullptr;
};

} // namespace quorvel
