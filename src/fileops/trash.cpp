#include "fileops/trash.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "fileops/fs_primitives.h"
#include "fileops/mount_points.h"
#include "fileops/numbered_name.h"
#include "text/characters.h"

namespace quorvel {
namespace {

using detail::joinPath;
using detail::UniqueFd;

constexpr unsigned maxTrashNames = 100000;
constexpr std::string_view infoSuffix = ".trashinfo";

// Why a trash could not be used.
struct TrashProblem {
    std::string what;
    int errorNumber = 0;
};

FileOpResult cannotTrash(const std::string &path, const TrashProblem &problem)
{
    FileOpResult result;
    result.status = FileOpStatus::CannotTrash;
    result.errorNumber = problem.errorNumber;
    result.reason = "cannot move " + path + " to the trash: " + problem.what;
    if (problem.errorNumber != 0)
        result.reason += std::string(": ") + std::strerror(problem.errorNumber);
    return result;
}

// A trash folder, opened, with its files and info folders.
struct TrashPlace {
    std::string folder;
    std::string topdir; // empty for the home trash, whose paths are stored absolute
    UniqueFd files;
    UniqueFd info;
};

bool problem(TrashProblem &out, std::string what, int err)
{
    out.what = std::move(what);
    out.errorNumber = err;
    return false;
}

bool openFilesAndInfo(int trashFd, TrashPlace &place, TrashProblem &trouble)
{
    for (const char *sub : {"files", "info"}) {
        if (::mkdirat(trashFd, sub, 0700) != 0 && errno != EEXIST)
            return problem(trouble, "cannot create " + joinPath(place.folder, sub), errno);
        UniqueFd fd(::openat(trashFd, sub, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!fd.valid())
            return problem(trouble, "cannot open " + joinPath(place.folder, sub), errno);
        (sub[0] == 'f' ? place.files : place.info) = std::move(fd);
    }
    return true;
}

bool ownedByMe(int fd)
{
    struct stat st {
    };
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

bool openHomeTrash(TrashPlace &place, TrashProblem &trouble)
{
    // Make the missing folders of the path, as a first use of the trash does.
    for (std::size_t slash = place.folder.find('/', 1);; slash = place.folder.find('/', slash + 1)) {
        const std::string prefix = place.folder.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return problem(trouble, "cannot create " + prefix, errno);
        if (slash == std::string::npos)
            break;
    }
    UniqueFd trash(::open(place.folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!trash.valid())
        return problem(trouble, "cannot open " + place.folder, errno);
    return openFilesAndInfo(trash.get(), place, trouble);
}

// $topdir/.Trash/$uid (shared) or $topdir/.Trash-$uid.
bool openVolumeTrash(TrashPlace &place, bool shared, TrashProblem &trouble)
{
    UniqueFd top(::open(place.topdir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!top.valid())
        return problem(trouble, "cannot open " + place.topdir, errno);
    const std::string uid = std::to_string(::geteuid());
    UniqueFd parent;
    std::string name;
    if (shared) {
        struct stat st {
        };
        const std::string sharedPath = joinPath(place.topdir, ".Trash");
        if (::fstatat(top.get(), ".Trash", &st, AT_SYMLINK_NOFOLLOW) != 0)
            return problem(trouble, "no " + sharedPath, errno);
        if (!S_ISDIR(st.st_mode) || !(st.st_mode & S_ISVTX))
            return problem(trouble, sharedPath + " is not a folder with the sticky bit", 0);
        parent = UniqueFd(::openat(top.get(), ".Trash", O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!parent.valid())
            return problem(trouble, "cannot open " + sharedPath, errno);
        name = uid;
        place.folder = joinPath(sharedPath, name);
    } else {
        parent = std::move(top);
        name = ".Trash-" + uid;
        place.folder = joinPath(place.topdir, name);
    }
    if (::mkdirat(parent.get(), name.c_str(), 0700) != 0 && errno != EEXIST)
        return problem(trouble, "cannot create " + place.folder, errno);
    UniqueFd trash(::openat(parent.get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!trash.valid())
        return problem(trouble, "cannot open " + place.folder, errno);
    if (!ownedByMe(trash.get()))
        return problem(trouble, place.folder + " belongs to another user", 0);
    return openFilesAndInfo(trash.get(), place, trouble);
}

// The device of path, or of its nearest existing parent when it does not exist yet.
bool deviceOfNearest(std::string path, dev_t &device)
{
    for (;;) {
        struct stat st {
        };
        if (::stat(path.c_str(), &st) == 0) {
            device = st.st_dev;
            return true;
        }
        if (errno != ENOENT || path == "/")
            return false;
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos)
            return false;
        path = slash == 0 ? std::string("/") : path.substr(0, slash);
    }
}

std::string deletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The name under which an entry is kept in the trash: its own name, cut at a character
// boundary when "<name> (NNNNNN).trashinfo" would not fit a file name.
std::string trashBaseName(const std::string &name)
{
    const std::size_t room = NAME_MAX - infoSuffix.size() - 9;
    if (name.size() <= room)
        return name;
    std::size_t cut = room;
    while (cut > 0 && !text::isCharBoundary(name, cut, text::systemCodeset()))
        --cut;
    return name.substr(0, cut);
}

struct Attempt {
    FileOpResult result;
    bool tryAnotherTrash = false;
    TrashProblem trouble;
};

Attempt putInTrash(int parentFd, const std::string &name, bool isFolder, const std::string &absolute, TrashPlace &place)
{
    Attempt attempt;
    std::string stored = absolute;
    if (!place.topdir.empty()) {
        const std::size_t cut = place.topdir == "/" ? 1 : place.topdir.size() + 1;
        if (absolute.size() > cut && absolute.compare(0, place.topdir.size(), place.topdir) == 0)
            stored = absolute.substr(cut);
    }
    const std::string info =
        "[Trash Info]\nPath=" + percentEncodePath(stored) + "\nDeletionDate=" + deletionDate() + "\n";
    const std::string base = trashBaseName(name);
    for (unsigned number = 1; number <= maxTrashNames; ++number) {
        const std::string candidate = number == 1 ? base : numberedName(base, number, isFolder);
        const std::string infoName = candidate + std::string(infoSuffix);
        const std::string infoPath = joinPath(joinPath(place.folder, "info"), infoName);
        const int fd =
            ::openat(place.info.get(), infoName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            attempt.tryAnotherTrash = true;
            problem(attempt.trouble, "cannot create " + infoPath, errno);
            return attempt;
        }
        std::string_view rest = info;
        int writeError = 0;
        while (!rest.empty()) {
            const ssize_t n = ::write(fd, rest.data(), rest.size());
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                writeError = errno;
                break;
            }
            rest.remove_prefix(static_cast<std::size_t>(n));
        }
        if (::close(fd) != 0 && writeError == 0 && errno != EINTR)
            writeError = errno;
        if (writeError != 0) {
            ::unlinkat(place.info.get(), infoName.c_str(), 0);
            attempt.tryAnotherTrash = true;
            problem(attempt.trouble, "cannot write " + infoPath, writeError);
            return attempt;
        }
        const int err = detail::renameNoReplace(parentFd, name, place.files.get(), candidate, isFolder);
        if (err == 0) {
            attempt.result = detail::done(joinPath(joinPath(place.folder, "files"), candidate));
            return attempt;
        }
        ::unlinkat(place.info.get(), infoName.c_str(), 0);
        if (err == EEXIST)
            continue; // an entry without its info file holds the name
        if (err == EXDEV) {
            attempt.tryAnotherTrash = true;
            problem(attempt.trouble, place.folder + " is on another filesystem", 0);
            return attempt;
        }
        attempt.result = detail::failure("cannot move to the trash", absolute, err);
        return attempt;
    }
    attempt.tryAnotherTrash = true;
    problem(attempt.trouble, "no free name in " + place.folder, EEXIST);
    return attempt;
}

std::string canonicalFolder(int folderFd, const std::string &folder)
{
    const std::string viaFd = "/proc/self/fd/" + std::to_string(folderFd);
    char *resolved = ::realpath(viaFd.c_str(), nullptr);
    if (!resolved)
        resolved = ::realpath(folder.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

} // namespace

std::string homeTrashFolder()
{
    const char *dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return joinPath(dataHome, "Trash");
    std::string home;
    if (const char *h = std::getenv("HOME"); h && h[0] == '/') {
        home = h;
    } else if (const passwd *pw = ::getpwuid(::geteuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') {
        home = pw->pw_dir;
    }
    if (home.empty())
        return {};
    return joinPath(home, ".local/share/Trash");
}

std::string percentEncodePath(std::string_view path)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~' ||
                           byte == '/';
        if (plain) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(hex[byte >> 4]);
            out.push_back(hex[byte & 15]);
        }
    }
    return out;
}

FileOpResult moveToTrash(const std::string &path)
{
    const auto split = detail::splitEntryPath(path);
    if (!split)
        return detail::failure("cannot move to the trash", path.empty() ? "an empty path" : path, EINVAL);
    UniqueFd parent(::open(split->folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!parent.valid())
        return detail::failure("cannot open the folder", split->folder, errno);
    struct stat st {
    };
    if (::fstatat(parent.get(), split->name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return detail::failure("cannot read", split->path, errno);
    struct stat parentSt {
    };
    if (::fstat(parent.get(), &parentSt) != 0)
        return detail::failure("cannot read", split->folder, errno);
    const std::string folder = canonicalFolder(parent.get(), split->folder);
    if (folder.empty())
        return detail::failure("cannot resolve the folder", split->folder, errno);
    const std::string absolute = joinPath(folder, split->name);
    const bool isFolder = S_ISDIR(st.st_mode);

    TrashProblem trouble;
    const std::string home = homeTrashFolder();
    dev_t homeDevice = 0;
    if (!home.empty() && deviceOfNearest(home, homeDevice) && homeDevice == parentSt.st_dev) {
        TrashPlace place;
        place.folder = home;
        if (!openHomeTrash(place, trouble))
            return cannotTrash(split->path, trouble);
        Attempt attempt = putInTrash(parent.get(), split->name, isFolder, absolute, place);
        if (!attempt.tryAnotherTrash)
            return attempt.result;
        trouble = attempt.trouble;
    }
    TrashPlace place;
    place.topdir = mountPointOf(folder);
    for (const bool shared : {true, false}) {
        TrashProblem volumeTrouble;
        if (!openVolumeTrash(place, shared, volumeTrouble)) {
            // The shared .Trash is optional; what matters is why the own one failed.
            if (!shared || trouble.what.empty())
                trouble = volumeTrouble;
            continue;
        }
        Attempt attempt = putInTrash(parent.get(), split->name, isFolder, absolute, place);
        if (!attempt.tryAnotherTrash)
            return attempt.result;
        trouble = attempt.trouble;
    }
    return cannotTrash(split->path, trouble);
}

} // namespace quorvel
