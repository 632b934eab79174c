// Inserts 1,000,000 result rows one by one at the top of the result list's model, then
// checks all of them, and compares the time with appending the same paths to a
// std::vector<std::string>. Also prints the memory each row costs beyond its path bytes.
#include <QCoreApplication>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/check_list_model.h"

namespace {

std::vector<std::string> realisticPaths(std::size_t count)
{
    std::mt19937 random(42);
    const char *folders[] = {"/home/user/Pictures/2019/", "/home/user/Documents/Reports/", "/srv/share/Archive/",
                             "/home/user/Downloads/", "/media/data/Photos/Camera/"};
    const char *ext[] = {".jpg", ".JPG", ".docx", ".pdf", ".xlsx", ".png"};
    std::vector<std::string> paths;
    paths.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string name = "IMG_" + std::to_string(100000 + random() % 900000) + ext[random() % 6];
        paths.push_back(std::string(folders[random() % 5]) + name);
    }
    return paths;
}

double seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

std::size_t heapInUse()
{
    return mallinfo2().uordblks + mallinfo2().hblkhd;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::size_t count = 1000000;
    const std::vector<std::string> paths = realisticPaths(count);
    std::size_t pathBytes = 0;
    for (const std::string &p : paths)
        pathBytes += p.size();

    double vectorTime = 1e9, modelTime = 1e9, checkTime = 1e9;
    double perRow = 0;
    for (int run = 0; run < 3; ++run) {
        {
            auto start = std::chrono::steady_clock::now();
            std::vector<std::string> copy;
            for (const std::string &p : paths)
                copy.push_back(p);
            vectorTime = std::min(vectorTime, seconds(start));
        }
        const std::size_t before = heapInUse();
        quorvel::CheckListModel model({QStringLiteral("文件路径"), QStringLiteral("文件名")});
        auto start = std::chrono::steady_clock::now();
        for (const std::string &p : paths) {
            const std::string_view path(p);
            model.insertTextRow(0, path, path.substr(path.rfind('/') + 1));
        }
        modelTime = std::min(modelTime, seconds(start));
        start = std::chrono::steady_clock::now();
        model.setAllChecked(true);
        checkTime = std::min(checkTime, seconds(start));
        perRow = (double(heapInUse() - before) - double(pathBytes)) / double(count);
    }
    std::printf("| measure | value |\n|---|---|\n");
    std::printf("| append 1,000,000 paths to std::vector<std::string> | %.3f s |\n", vectorTime);
    std::printf("| insert 1,000,000 rows one by one at the top of the model | %.3f s |\n", modelTime);
    std::printf("| check all 1,000,000 rows (one model change) | %.4f s |\n", checkTime);
    std::printf("| ratio insert+check / vector | %.2fx (goal <= 3x) |\n", (modelTime + checkTime) / vectorTime);
    std::printf("| memory per row beyond the path bytes | %.1f bytes (goal <= 64) |\n", perRow);
    return 0;
}
