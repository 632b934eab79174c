// Builds the benchmark tree and its keyword lists, the same for a given seed:
//   gen_tree DIR [FILES] [FOLDERS] [SEED]
// DIR/tree holds about FILES files (default 1,000,000) in FOLDERS folders (default 60,000):
// photo numbers, office documents, mixed case, dots, spaces, Chinese names, hidden files.
// DIR/keywords/{exact,fuzzy}_K.txt hold keyword lists, half of them present in the tree.
// With KEYWORDS_ONLY=1 in the environment only the keyword lists are written.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

std::mt19937_64 rng;

std::size_t pick(std::size_t n)
{
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
}

template <typename T> const T &pickFrom(const std::vector<T> &items)
{
    return items[pick(items.size())];
}

const std::vector<std::string> kWords{"Report",  "budget", "Invoice",  "meeting", "Notes",  "draft",  "Final",
                                      "summary", "Plan",   "contract", "Letter",  "agenda", "Review", "Q3",
                                      "minutes", "Design", "brief",    "Offer",   "Resume", "thesis", "Slides"};
const std::vector<std::string> kOffice{".docx", ".xlsx", ".pptx", ".pdf", ".doc", ".xls", ".txt", ".csv", ".odt"};
const std::vector<std::string> kChinese{"会议纪要", "照片", "合同",     "报告",     "预算",
                                        "发票",     "简历", "项目资料", "年度总结", "设计稿"};
const std::vector<std::string> kFolderWords{
    "Photos", "Documents", "Projects", "src",    "Backup",   "Music", "Videos",    "Downloads", "Archive", "work",
    "2019",   "2020",      "2021",     "Camera", "项目资料", "照片",  "Old Stuff", ".cache",    ".git",    "build"};

std::string number(int digits, std::uint64_t value)
{
    std::string s = std::to_string(value);
    while (static_cast<int>(s.size()) < digits)
        s.insert(s.begin(), '0');
    return s.substr(s.size() - static_cast<std::size_t>(digits));
}

std::string fileName()
{
    switch (pick(10)) {
    case 0:
    case 1:
        return "IMG_" + number(4, pick(10000)) + (pick(3) ? ".JPG" : ".jpg");
    case 2:
        return "DSC" + number(5, pick(100000)) + ".JPG";
    case 3:
        return "IMG_20" + number(2, 10 + pick(12)) + number(2, 1 + pick(12)) + number(2, 1 + pick(28)) + "_" +
               number(6, pick(1000000)) + ".jpg";
    case 4:
    case 5:
        return pickFrom(kWords) + " " + pickFrom(kWords) + " " + std::to_string(2010 + pick(14)) + pickFrom(kOffice);
    case 6: {
        static const std::vector<std::string> dotted{".tar.gz", ".tar.bz2", ".v2.docx", ".final.pdf", ".bak.txt"};
        return pickFrom(kWords) + "_" + number(3, pick(1000)) + pickFrom(dotted);
    }
    case 7:
        return pickFrom(kChinese) + " " + number(4, pick(10000)) + pickFrom(kOffice);
    case 8:
        return "." + pickFrom(kWords) + "rc" + number(2, pick(100));
    default:
        return "data_" + number(5, pick(100000)) + (pick(2) ? ".csv" : ".log");
    }
}

void writeList(const std::string &path, const std::vector<std::string> &lines)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    for (const std::string &line : lines)
        std::fprintf(f, "%s\r\n", line.c_str());
    std::fclose(f);
}

std::string upperCased(std::string s)
{
    for (char &c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_tree DIR [FILES] [FOLDERS] [SEED]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::size_t files = argc > 2 ? std::stoul(argv[2]) : 1000000;
    const std::size_t folderCount = argc > 3 ? std::stoul(argv[3]) : 60000;
    rng.seed(argc > 4 ? std::stoul(argv[4]) : 20240601);

    // The tree is planned in memory first, so the same seed gives the same tree and the same
    // keywords whether or not the files are made (KEYWORDS_ONLY=1 skips making them).
    const bool make = std::getenv("KEYWORDS_ONLY") == nullptr;
    std::vector<std::string> folders{dir + "/tree"};
    std::unordered_set<std::string> taken{folders[0]};
    while (folders.size() < folderCount) {
        // A random earlier folder as parent gives a tree a dozen levels deep at most.
        const std::string parent = folders[pick(folders.size())];
        std::string name = pickFrom(kFolderWords);
        if (pick(2))
            name.append(" ").append(number(3, pick(1000)));
        std::string path = parent + "/" + name;
        if (taken.insert(path).second)
            folders.push_back(std::move(path));
    }

    // Files per folder: most folders hold a few, photo folders hundreds.
    std::vector<std::string> names, paths;
    names.reserve(files);
    while (names.size() < files) {
        const std::string &folder = folders[pick(folders.size())];
        const std::size_t count = pick(20) == 0 ? 100 + pick(400) : 1 + pick(12);
        for (std::size_t i = 0; i < count && names.size() < files; ++i) {
            const std::string name = fileName();
            std::string path = folder + "/" + name;
            if (!taken.insert(path).second)
                continue;
            names.push_back(name);
            if (make)
                paths.push_back(std::move(path));
        }
    }
    if (make) {
        mkdir(dir.c_str(), 0755);
        for (const std::string &folder : folders)
            mkdir(folder.c_str(), 0755);
        for (const std::string &path : paths) {
            const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0)
                close(fd);
        }
    }
    taken.clear();
    const std::size_t made = names.size();

    const std::unordered_set<std::string> present(names.begin(), names.end());
    const std::string keywordDir = dir + "/keywords";
    mkdir(keywordDir.c_str(), 0755);
    for (std::size_t k : {1, 100, 10000}) {
        std::vector<std::string> list;
        for (std::size_t i = 0; i < k; ++i) {
            if (i % 2 == 0) {
                std::string name = pickFrom(names);
                const std::size_t dot = name.rfind('.');
                if (pick(2) && dot != std::string::npos && dot > 0)
                    name = name.substr(0, dot);
                list.push_back(pick(4) == 0 ? upperCased(name) : name);
            } else {
                std::string name;
                do {
                    name = fileName();
                    name.insert(name.find_first_of('.') == std::string::npos ? name.size() : name.find('.'), "_x");
                } while (present.count(name));
                list.push_back(name);
            }
        }
        writeList(keywordDir + "/exact_" + std::to_string(k) + ".txt", list);
    }
    for (std::size_t k : {1, 100, 1000}) {
        std::vector<std::string> list;
        for (std::size_t i = 0; i < k; ++i) {
            if (i % 2 == 0) {
                // The distinctive part of a name, as a user would paste it: its stem (before
                // the first dot), without up to three leading characters.
                const std::string &name = pickFrom(names);
                const std::size_t dot = name.find('.', 1);
                const std::string stem = name.substr(0, dot);
                std::size_t from = stem.size() > 6 ? pick(std::min<std::size_t>(3, stem.size() - 6) + 1) : 0;
                while (from < stem.size() && (static_cast<unsigned char>(stem[from]) & 0xC0) == 0x80)
                    ++from;
                list.push_back(stem.substr(from));
            } else {
                list.push_back("zq" + number(6, pick(1000000)) + "x");
            }
        }
        writeList(keywordDir + "/fuzzy_" + std::to_string(k) + ".txt", list);
    }
    std::printf("%zu files in %zu folders below %s/tree\n", made, folders.size(), dir.c_str());
    return 0;
}
