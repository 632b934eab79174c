#include "settings/program_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quorvel {
namespace {

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string nonEmptyVariable(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// The folder that holds the running executable, or the empty text when it cannot be told.
std::string executableFolder()
{
    std::string target(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
        return {};
    target.resize(static_cast<std::size_t>(n));
    const std::size_t slash = target.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : target.substr(0, slash);
}

std::string homeFolder()
{
    std::string home = nonEmptyVariable("HOME");
    if (!home.empty())
        return home;
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

} // namespace

std::string fileInFolder(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::string programFolder()
{
    if (std::string home = nonEmptyVariable("QUORVEL_HOME"); !home.empty())
        return withoutTrailingSlashes(std::move(home));
    if (const std::string folder = executableFolder(); !folder.empty() && ::access(folder.c_str(), W_OK) == 0)
        return folder;
    std::string config = nonEmptyVariable("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/')
        config = fileInFolder(homeFolder(), ".config");
    return fileInFolder(withoutTrailingSlashes(config), "quorvel");
}

std::string ensureProgramFolder()
{
    const std::string folder = programFolder();
    struct stat info {
    };
    if (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return {};
    // Make each missing folder from the top down.
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = slash == std::string::npos ? folder : folder.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return "cannot create " + part + ": " + std::strerror(errno);
        if (slash == std::string::npos)
            break;
    }
    if (::stat(folder.c_str(), &info) != 0)
        return "cannot use " + folder + ": " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return "cannot use " + folder + ": " + std::strerror(ENOTDIR);
    return {};
}

} // namespace quorvel
