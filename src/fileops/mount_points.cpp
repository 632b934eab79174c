#include "fileops/mount_points.h"

#include <sys/stat.h>

#include <optional>

#include "roots/fixed_disks.h"
#include "settings/whole_file.h"

namespace quorvel {
namespace {

bool contains(std::string_view mountPoint, std::string_view path)
{
    if (mountPoint == "/")
        return true;
    if (path.substr(0, mountPoint.size()) != mountPoint)
        return false;
    return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

std::string highestOnSameDevice(const std::string &path)
{
    struct stat st {
    };
    if (::stat(path.c_str(), &st) != 0)
        return "/";
    std::string current = path;
    while (current != "/") {
        const std::size_t slash = current.rfind('/');
        const std::string parent = slash == 0 ? std::string("/") : current.substr(0, slash);
        struct stat parentSt {
        };
        if (::stat(parent.c_str(), &parentSt) != 0 || parentSt.st_dev != st.st_dev)
            break;
        current = parent;
    }
    return current;
}

} // namespace

std::vector<std::string> parseMountPoints(std::string_view mountinfo)
{
    std::vector<std::string> points;
    for (MountEntry &entry : parseMountinfo(mountinfo))
        points.push_back(std::move(entry.mountPoint));
    return points;
}

std::string mountPointOf(const std::string &canonicalPath)
{
    const std::optional<std::string> table = readWholeFile("/proc/self/mountinfo");
    if (!table)
        return highestOnSameDevice(canonicalPath);
    std::string best;
    for (const std::string &point : parseMountPoints(*table)) {
        if (point.size() > best.size() && contains(point, canonicalPath))
            best = point;
    }
    return best.empty() ? highestOnSameDevice(canonicalPath) : best;
}

} // namespace quorvel
