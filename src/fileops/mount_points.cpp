#include "fileops/mount_points.h"

#include <sys/stat.h>

#include <optional>

#include "settings/whole_file.h"

namespace quorvel {
namespace {

std::string decodeOctalEscapes(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out.push_back(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

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
    while (!mountinfo.empty()) {
        const std::size_t end = mountinfo.find('\n');
        std::string_view line = mountinfo.substr(0, end);
        mountinfo.remove_prefix(end == std::string_view::npos ? mountinfo.size() : end + 1);
        // Fields: id, parent id, major:minor, root, mount point, ...
        for (int skip = 0; skip < 4 && !line.empty(); ++skip) {
            const std::size_t space = line.find(' ');
            line.remove_prefix(space == std::string_view::npos ? line.size() : space + 1);
        }
        const std::string_view field = line.substr(0, line.find(' '));
        if (!field.empty())
            points.push_back(decodeOctalEscapes(field));
    }
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
