#include "search/random_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace quorvel::testing {
namespace {

std::string randomName(std::mt19937 &rng, text::Codeset codeset)
{
    static const std::vector<std::string> utf8{"a",
                                               "B",
                                               "c",
                                               "Ab",
                                               ".",
                                               " ",
                                               "x",
                                               "IMG_",
                                               "0",
                                               "7",
                                               ".jpg",
                                               ".JPG",
                                               ".tar",
                                               ".gz",
                                               "\xE7\x85\xA7",
                                               "\xE7\x89\x87",
                                               "\xFF",
                                               "\x85",
                                               "\n",
                                               "Report",
                                               "report"};
    static const std::vector<std::string> gbk{"a",    "B",    "Ab",     ".",        " ",        "IMG_",
                                              "0",    ".jpg", ".JPG",   "\xB0\xA1", "\x81\x41", "\x81\x61",
                                              "\xB0", "\xFF", "Report", "report",   "\n"};
    const std::vector<std::string> &pieces = codeset == text::Codeset::Utf8 ? utf8 : gbk;
    for (;;) {
        std::string name;
        const int n = std::uniform_int_distribution<int>(1, 4)(rng);
        for (int i = 0; i < n; ++i)
            name += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
        if (name != "." && name != "..")
            return name;
    }
}

void fill(const std::string &folder, int depth, std::mt19937 &rng, text::Codeset codeset,
          std::vector<std::string> &names, std::vector<std::string> &folders)
{
    const int entries = std::uniform_int_distribution<int>(0, 7)(rng);
    for (int i = 0; i < entries; ++i) {
        const std::string name = randomName(rng, codeset);
        const std::string path = folder + "/" + name;
        struct stat st;
        if (lstat(path.c_str(), &st) == 0)
            continue;
        names.push_back(name);
        const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
        if (kind < 3 && depth < 4) {
            mkdir(path.c_str(), 0755);
            folders.push_back(path);
            fill(path, depth + 1, rng, codeset, names, folders);
        } else if (kind == 3 && !folders.empty()) {
            // A link to some folder of the tree (possibly an ancestor: a cycle).
            symlink(folders[std::uniform_int_distribution<std::size_t>(0, folders.size() - 1)(rng)].c_str(),
                    path.c_str());
        } else if (kind == 4) {
            symlink("missing-target", path.c_str());
        } else if (kind == 5 && !names.empty()) {
            symlink(names.front().c_str(), path.c_str()); // relative: may lead to a file, a folder or nothing
        } else {
            writeFile(path, name);
        }
    }
}

} // namespace

std::vector<std::string> makeRandomTree(const std::string &root, unsigned seed, text::Codeset codeset)
{
    std::mt19937 rng(seed);
    std::vector<std::string> names;
    std::vector<std::string> folders{root};
    fill(root, 0, rng, codeset, names, folders);

    std::vector<std::string> keywords;
    const int count = std::uniform_int_distribution<int>(1, 12)(rng);
    for (int i = 0; i < count; ++i) {
        const int kind = std::uniform_int_distribution<int>(0, 5)(rng);
        if (!names.empty() && kind <= 3) {
            std::string name = names[std::uniform_int_distribution<std::size_t>(0, names.size() - 1)(rng)];
            if (kind == 1) {
                const std::size_t dot = name.rfind('.');
                if (dot != std::string::npos && dot > 0)
                    name = name.substr(0, dot);
            } else if (kind == 2 && name.size() > 1) {
                const std::size_t from = std::uniform_int_distribution<std::size_t>(0, name.size() - 1)(rng);
                name = name.substr(from, std::uniform_int_distribution<std::size_t>(1, name.size() - from)(rng));
            } else if (kind == 3) {
                for (char &c : name) {
                    if (c >= 'a' && c <= 'z')
                        c = static_cast<char>(c - 'a' + 'A');
                }
            }
            keywords.push_back(name);
        } else if (kind == 4 && !keywords.empty()) {
            keywords.push_back(keywords.back());
        } else {
            keywords.push_back(randomName(rng, codeset));
        }
    }
    return keywords;
}

std::string joinRandomPieces(std::mt19937 &rng, const std::vector<std::string> &pieces, int maxPieces)
{
    std::string out;
    const int n = std::uniform_int_distribution<int>(0, maxPieces)(rng);
    for (int i = 0; i < n; ++i)
        out += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
    return out;
}

} // namespace quorvel::testing
