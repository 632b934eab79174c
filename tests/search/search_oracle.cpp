#include "search/search_oracle.h"

#include <dirent.h>
#include <sys/stat.h>

#include "text/characters.h"

namespace quorvel::testing {
namespace {

std::vector<std::string> entriesOf(const std::string &folder)
{
    std::vector<std::string> names;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (dirent *e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

bool isRealFolder(const std::string &path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFolderLink(const std::string &path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return false;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool fileMatches(const std::string &name, const std::string &keyword, bool fuzzy, text::Codeset codeset)
{
    const std::string n = text::foldedAsciiCase(name, codeset);
    const std::string k = text::foldedAsciiCase(keyword, codeset);
    if (fuzzy)
        return text::findText(n, k, codeset) != std::string::npos;
    if (k == n)
        return true;
    const std::size_t dot = text::findLastText(n, ".", codeset);
    return dot != std::string::npos && dot > 0 && n.substr(0, dot) == k;
}

void walkPostOrder(const std::string &folder, std::vector<std::string> &list)
{
    const std::string q = folder.empty() || folder.back() != '/' ? folder + "/" : folder;
    for (const std::string &name : entriesOf(q)) {
        if (isRealFolder(q + name)) {
            walkPostOrder(q + name, list);
            list.push_back(q + name);
        } else if (isFolderLink(q + name)) {
            list.push_back(q + name);
        }
    }
}

} // namespace

std::vector<Row> plainFileNameSearch(const std::vector<std::string> &keywords, const std::vector<std::string> &roots,
                                     bool fuzzy, text::Codeset codeset)
{
    std::vector<Row> rows;
    for (const std::string &root : roots) {
        if (root.empty())
            continue;
        std::vector<std::string> queue{root.back() == '/' ? root : root + "/"};
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const std::string folder = queue[head];
            const std::vector<std::string> names = entriesOf(folder);
            for (const std::string &name : names) {
                if (isRealFolder(folder + name))
                    queue.push_back(folder + name + "/");
            }
            for (const std::string &name : names) {
                if (isRealFolder(folder + name) || isFolderLink(folder + name))
                    continue;
                for (const std::string &keyword : keywords) {
                    if (fileMatches(name, keyword, fuzzy, codeset))
                        rows.emplace_back(folder + name, name);
                }
            }
        }
    }
    return rows;
}

std::vector<std::string> plainCollectFolders(const std::string &root)
{
    struct stat st;
    if (root.empty() || stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {};
    std::vector<std::string> list{root};
    walkPostOrder(root, list);
    return list;
}

std::vector<Row> plainFolderNameSearch(const std::vector<std::string> &keywords, const std::vector<std::string> &roots,
                                       bool exact, text::Codeset codeset)
{
    std::vector<Row> rows;
    for (const std::string &root : roots) {
        const std::vector<std::string> list = plainCollectFolders(root);
        for (const std::string &keyword : keywords) {
            for (const std::string &path : list) {
                const std::size_t slash = text::findLastText(path, "/", codeset);
                const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
                const bool hit = exact ? text::foldedAsciiCase(name, codeset) == text::foldedAsciiCase(keyword, codeset)
                                       : text::findTextIgnoringCase(name, keyword, codeset) != std::string::npos;
                if (hit)
                    rows.emplace_back(path, "");
            }
        }
    }
    return rows;
}

std::string plainNotFoundReport(const std::vector<std::string> &lines, const std::vector<std::string> &rowPaths,
                                text::Codeset codeset)
{
    std::string names;
    for (const std::string &path : rowPaths) {
        const std::size_t slash = text::findLastText(path, "/", codeset);
        names += slash == std::string::npos ? path : path.substr(slash + 1);
        names += "/";
    }
    std::string report;
    for (const std::string &line : lines) {
        const bool found =
            line.empty() ? !names.empty() : text::findTextIgnoringCase(names, line, codeset) != std::string::npos;
        if (!found)
            report += line + "\r\n";
    }
    return report;
}

} // namespace quorvel::testing
