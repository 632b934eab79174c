#include "fileops/permanent_delete.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "fileops/fs_primitives.h"

namespace quorvel {

using detail::failure;

FileOpResult deletePermanently(const std::string &path)
{
    const auto split = detail::splitEntryPath(path);
    if (!split)
        return failure("cannot delete", path.empty() ? "an empty path" : path, EINVAL);
    detail::UniqueFd folder(::open(split->folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid())
        return failure("cannot open the folder", split->folder, errno);
    struct stat st {
    };
    if (::fstatat(folder.get(), split->name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return failure("cannot read", split->path, errno);
    if (!S_ISDIR(st.st_mode)) {
        if (::unlinkat(folder.get(), split->name.c_str(), 0) != 0)
            return failure("cannot delete", split->path, errno);
        return detail::done({});
    }
    const detail::RemovalResult removal = detail::removeEntryAt(folder.get(), split->name, split->path, false);
    if (removal.ok())
        return detail::done({});
    FileOpResult result = failure("cannot delete", removal.failedPath, removal.errorNumber);
    if (removal.entriesLeft > 1)
        result.reason += " (" + std::to_string(removal.entriesLeft) + " entries of " + split->path + " are left)";
    return result;
}

} // namespace quorvel
