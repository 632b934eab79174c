#pragma once

#include <functional>
#include <map>
#include <string>

namespace quorvel::testing {

// Runs body in a forked child, so that it may drop root's privileges, lower its file size
// limit or mount a private filesystem without touching the test process. Returns what
// body returned: "" for success, else what went wrong, or "SKIP: why" when the machine
// does not allow the test. A child that dies is reported as such.
std::string runInChild(const std::function<std::string()> &body);

// In a child: become uid and gid 65534 (nobody) with no supplementary groups.
std::string dropToNobody();
constexpr unsigned nobodyId = 65534;

// In a child: limits every file it writes to `bytes` and turns SIGXFSZ off, so a write
// past the limit fails with EFBIG as a full disk would.
std::string limitFileSize(unsigned long bytes);

// In a child: enters a private mount namespace and mounts a tmpfs at folder with the
// given options ("size=256k,mode=0755"). "SKIP: ..." when mounting is not allowed here.
std::string mountPrivateTmpfs(const std::string &folder, const std::string &options);

// A fresh folder under /dev/shm (another filesystem than the temporary folder on most
// machines), removed with its content when the object goes; path() is empty when
// /dev/shm cannot be used.
class ShmDir
{
  public:
    ShmDir();
    ~ShmDir();
    ShmDir(const ShmDir &) = delete;
    ShmDir &operator=(const ShmDir &) = delete;
    const std::string &path() const { return m_path; }

  private:
    std::string m_path;
};

// True when both paths lie on the same filesystem.
bool sameDevice(const std::string &a, const std::string &b);

// Everything below root, by relative path: "file 0644 <content>", "dir 0755",
// "link -> <target>". Two equal snapshots mean nothing was changed, added or lost.
std::map<std::string, std::string> snapshot(const std::string &root);

// The entries directly in folder, sorted.
std::string listNames(const std::string &folder);

// Sets the modification and access times of path (not following a link).
void setTimes(const std::string &path, long seconds, long nanoseconds);

} // namespace quorvel::testing
