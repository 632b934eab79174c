#pragma once

namespace quorvel {

// Whether a walk follows the folders below a root into other mounted filesystems.
enum class MountPolicy {
    // A chosen folder: everything below it, whatever is mounted there.
    CrossMounts,
    // A root of the whole-computer search: only its own filesystem, since every other disk is
    // walked as a root of its own (so nothing is listed twice). A folder on which another
    // filesystem is mounted is then neither listed nor walked.
    StayOnRootMount,
};

// How a walk is carried out; rows and their order do not depend on it.
struct WalkOptions {
    MountPolicy mounts = MountPolicy::CrossMounts;
    // Threads that list folders ahead of the walk's own order: 0 picks one per core, 1 walks
    // on the calling thread alone.
    unsigned listingThreads = 0;
};

} // namespace quorvel
