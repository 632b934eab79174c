// Sorts 1,000,000 result rows by their name column in the list's insertion order, and
// compares the time with std::stable_sort of the same keys (string_views, compared as
// unsigned bytes) in the same run. The names are realistic and repeat a lot: camera photo
// numbers, office documents with copy suffixes, Chinese names, common program files, and
// empty names of folder rows. Prints a Markdown table; each time is the median of several
// runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "results/sort_order.h"

namespace {

using quorvel::text::Codeset;

struct Names {
    std::string bytes;
    std::vector<std::pair<std::size_t, std::size_t>> spans; // offset, length

    std::vector<std::string_view> views() const
    {
        std::vector<std::string_view> out;
        out.reserve(spans.size());
        for (const auto &[offset, length] : spans)
            out.emplace_back(bytes.data() + offset, length);
        return out;
    }
};

template <std::size_t N> const char *pick(const char *const (&items)[N], std::mt19937 &random)
{
    return items[random() % N];
}

std::string digits(unsigned value, int width)
{
    std::string s = std::to_string(value);
    return std::string(s.size() < static_cast<std::size_t>(width) ? width - s.size() : 0, '0') + s;
}

std::string realisticName(std::mt19937 &random)
{
    static const char *const photoPrefixes[] = {"IMG_", "IMG_", "IMG_", "DSC_", "DSC0", "P101", "DSCN"};
    static const char *const photoExts[] = {".JPG", ".JPG", ".jpg", ".HEIC", ".PNG", ".CR2", ".MOV"};
    static const char *const docStems[] = {
        "Report",
        "Budget 2023",
        "Meeting notes",
        "Invoice",
        "Resume",
        "Contract",
        "Q3 review",
        "Presentation",
        "\xE6\x96\xB0\xE5\xBB\xBA Microsoft Word \xE6\x96\x87\xE6\xA1\xA3",              // 新建 Microsoft Word 文档
        "\xE6\x96\xB0\xE5\xBB\xBA Microsoft Excel \xE5\xB7\xA5\xE4\xBD\x9C\xE8\xA1\xA8", // 新建 ... 工作表
        "\xE5\xB7\xA5\xE4\xBD\x9C\xE6\x80\xBB\xE7\xBB\x93",                              // 工作总结
        "\xE4\xBC\x9A\xE8\xAE\xAE\xE7\xBA\xAA\xE8\xA6\x81",                              // 会议纪要
        "\xE5\x90\x88\xE5\x90\x8C",                                                      // 合同
        "\xE6\x8A\xA5\xE4\xBB\xB7\xE5\x8D\x95"};                                         // 报价单
    static const char *const docSuffixes[] = {
        "", "", "", " (1)", " (2)", "_final", "_v2", " - Copy", " - \xE5\x89\xAF\xE6\x9C\xAC"}; // - 副本
    static const char *const docExts[] = {".docx", ".xlsx", ".pptx", ".pdf", ".doc", ".xls", ".txt"};
    static const char *const chineseWords[] = {"\xE9\xA1\xB9\xE7\x9B\xAE",                         // 项目
                                               "\xE8\xAE\xA1\xE5\x88\x92",                         // 计划
                                               "\xE5\xB9\xB4\xE5\xBA\xA6",                         // 年度
                                               "\xE6\x8A\xA5\xE5\x91\x8A",                         // 报告
                                               "\xE7\xAC\xAC\xE4\xB8\x80\xE5\xAD\xA3\xE5\xBA\xA6", // 第一季度
                                               "\xE8\xB4\xA2\xE5\x8A\xA1",                         // 财务
                                               "\xE6\x95\xB0\xE6\x8D\xAE",                         // 数据
                                               "\xE5\x91\x98\xE5\xB7\xA5",                         // 员工
                                               "\xE5\x90\x8D\xE5\x8D\x95",                         // 名单
                                               "\xE7\x85\xA7\xE7\x89\x87",                         // 照片
                                               "\xE5\xAE\xA2\xE6\x88\xB7",                         // 客户
                                               "\xE5\x8C\x97\xE4\xBA\xAC",                         // 北京
                                               "\xE4\xB8\x8A\xE6\xB5\xB7"};                        // 上海
    static const char *const commonFiles[] = {
        "README.md", "index.html", "main.cpp", "package.json",   "__init__.py", "Thumbs.db", "desktop.ini",
        ".DS_Store", "LICENSE",    "Makefile", "CMakeLists.txt", "style.css",   "app.js",    "config.yaml"};
    static const char *const musicExts[] = {".mp3", ".flac", ".m4a"};

    const unsigned kind = random() % 100;
    if (kind < 35) {
        return std::string(pick(photoPrefixes, random)) + digits(random() % 10000, 4) + pick(photoExts, random);
    }
    if (kind < 40) { // WeChat style: 微信图片_YYYYMMDDhhmmss.jpg
        return "\xE5\xBE\xAE\xE4\xBF\xA1\xE5\x9B\xBE\xE7\x89\x87_2023" + digits(1 + random() % 12, 2) +
               digits(1 + random() % 28, 2) + digits(random() % 240000, 6) + ".jpg";
    }
    if (kind < 60)
        return std::string(pick(docStems, random)) + pick(docSuffixes, random) + pick(docExts, random);
    if (kind < 75) {
        std::string name;
        const unsigned words = 1 + random() % 3;
        for (unsigned w = 0; w < words; ++w)
            name += pick(chineseWords, random);
        if (random() % 3 == 0)
            name += digits(random() % 100, 2);
        return name + pick(docExts, random);
    }
    if (kind < 87)
        return pick(commonFiles, random);
    if (kind < 93)
        return ""; // a folder row
    return digits(1 + random() % 20, 2) + " - Track " + digits(1 + random() % 20, 2) + pick(musicExts, random);
}

Names makeNames(std::size_t count)
{
    std::mt19937 random(1234);
    Names names;
    names.spans.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = realisticName(random);
        names.spans.emplace_back(names.bytes.size(), name.size());
        names.bytes += name;
    }
    return names;
}

template <class Work> double medianMilliseconds(int runs, Work work)
{
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const std::size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
    const int runs = 5;
    const Names names = makeNames(count);
    const std::vector<std::string_view> keys = names.views();

    std::vector<std::string_view> baseline;
    const double stableMs = medianMilliseconds(runs, [&] {
        baseline = keys;
        std::stable_sort(baseline.begin(), baseline.end());
    });

    std::vector<std::size_t> rows;
    const double fastMs =
        medianMilliseconds(runs, [&] { rows = quorvel::sortedSourceRows(keys, 1, true, true, Codeset::Utf8); });

    const quorvel::SortKeyAt keyAt = [&keys](std::size_t row) { return keys[row]; };
    std::vector<std::size_t> rowsByAccessor;
    const double accessorMs = medianMilliseconds(
        runs, [&] { rowsByAccessor = quorvel::sortedSourceRows(count, keyAt, 1, true, true, Codeset::Utf8); });

    std::vector<std::size_t> replayed;
    const double replayMs =
        medianMilliseconds(1, [&] { replayed = quorvel::sortOrderByReplay(keys, 1, true, Codeset::Utf8); });

    // Both sorts put the same keys in the same places; the ties are what differ.
    bool sameKeys = rows.size() == baseline.size();
    for (std::size_t s = 0; sameKeys && s < rows.size(); ++s)
        sameKeys = keys[rows[s]] == baseline[s];
    const bool sameOrder = rows == replayed && rows == rowsByAccessor;

    std::size_t distinct = baseline.empty() ? 0 : 1;
    for (std::size_t s = 1; s < baseline.size(); ++s)
        distinct += baseline[s] != baseline[s - 1];

    std::printf("Sorting %zu rows by name (%zu distinct names, %.1f MB of names), ascending, median of %d runs.\n\n",
                count, distinct, names.bytes.size() / 1e6, runs);
    std::printf("| Method | Time (ms) | Ratio to std::stable_sort |\n");
    std::printf("|---|---:|---:|\n");
    std::printf("| std::stable_sort of the string_views (not the list's order) | %.1f | 1.00 |\n", stableMs);
    std::printf("| sortedSourceRows, keys as a span of string_views | %.1f | %.2f |\n", fastMs, fastMs / stableMs);
    std::printf("| sortedSourceRows, keys through a std::function accessor | %.1f | %.2f |\n", accessorMs,
                accessorMs / stableMs);
    std::printf("| sortOrderByReplay, every insertion replayed on a ranked list (1 run) | %.1f | %.2f |\n", replayMs,
                replayMs / stableMs);
    std::printf("\nSame keys at every place as std::stable_sort: %s. Same order from all three routines: %s.\n",
                sameKeys ? "yes" : "NO", sameOrder ? "yes" : "NO");
    return sameKeys && sameOrder ? 0 : 1;
}
