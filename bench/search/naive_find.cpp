// The plain algorithm, for comparison: the same breadth-first walk (readdir with d_type),
// every file name lower-cased once and tested against every keyword in turn.
//   naive_find [-f] KEYWORD_FILE ROOT

#include <dirent.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "search/keyword_text.h"
#include "settings/whole_file.h"
#include "text/characters.h"

using namespace quorvel;

int main(int argc, char **argv)
{
    const bool fuzzy = argc == 4 && std::strcmp(argv[1], "-f") == 0;
    if (argc != 3 + (fuzzy ? 1 : 0))
        return 2;
    const text::Codeset cs = text::Codeset::Utf8;
    std::vector<std::string> keywords = keywordLinesOf(readWholeFile(argv[argc - 2]).value_or(""), cs);
    for (std::string &k : keywords)
        text::foldAsciiCase(k, cs);
    std::string out;
    std::deque<std::string> queue{std::string(argv[argc - 1]) + "/"};
    while (!queue.empty()) {
        const std::string folder = std::move(queue.front());
        queue.pop_front();
        DIR *dir = opendir(folder.c_str());
        if (!dir)
            continue;
        std::vector<std::string> files;
        while (dirent *e = readdir(dir)) {
            if (e->d_type == DT_DIR) {
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                    queue.push_back(folder + e->d_name + "/");
            } else {
                files.emplace_back(e->d_name);
            }
        }
        closedir(dir);
        for (const std::string &name : files) {
            const std::string n = text::foldedAsciiCase(name, cs);
            const std::size_t dot = text::findLastText(n, ".", cs);
            for (const std::string &k : keywords) {
                const bool hit = fuzzy ? text::findText(n, k, cs) != std::string::npos
                                       : (k == n || (dot != std::string::npos && dot > 0 && n.compare(0, dot, k) == 0 &&
                                                     k.size() == dot));
                if (hit)
                    out.append(folder).append(name).push_back('\n');
            }
            if (out.size() > (1 << 16)) {
                std::fwrite(out.data(), 1, out.size(), stdout);
                out.clear();
            }
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
