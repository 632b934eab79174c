// quorvel-find: the search engine on the command line. Rows stream to standard output as
// the walk finds them (or, with --list-order, in the order the window's list shows them).

#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/find_options.h"
#include "cli/row_actions.h"
#include "roots/fixed_disks.h"
#include "search/file_name_search.h"
#include "search/folder_name_search.h"
#include "search/keyword_text.h"
#include "search/not_found_report.h"
#include "settings/whole_file.h"
#include "text/characters.h"

namespace quorvel {
namespace {

constexpr const char *kProgram = "quorvel-find";

void complain(std::string_view what, std::string_view reason)
{
    std::string line = std::string(kProgram) + ": ";
    line.append(what);
    if (!reason.empty()) {
        line.append(": ");
        line.append(reason);
    }
    line.push_back('\n');
    (void)!::write(STDERR_FILENO, line.data(), line.size());
}

// Writes everything or reports the error number.
int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

std::optional<std::string> readKeywordFile(const std::string &name)
{
    if (name != "-")
        return readWholeFile(name);
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

// Prints rows as they come, or keeps them for --list-order; feeds the not-found report.
class PrintingSink : public RowSink
{
  public:
    PrintingSink(const FindOptions &options, bool holdRows, NotFoundScanner *scanner, RowActions *actions,
                 StopFlag &stop)
        : m_options(options), m_holdRows(holdRows), m_scanner(scanner), m_actions(actions), m_stop(stop)
    {
    }

    void takeRows(RowBatch &&rows) override
    {
        m_rowCount += rows.size();
        if (m_scanner) {
            for (std::size_t i = 0; i < rows.size(); ++i)
                m_scanner->addRowPath(rows.path(i));
        }
        if (m_holdRows) {
            rows.shrinkToFit();
            m_held.push_back(std::move(rows));
            return;
        }
        print(rows, false);
        flush();
    }

    void folderFailed(std::string_view path, int errorNumber) override { complain(path, std::strerror(errorNumber)); }

    // Prints the held rows, newest first.
    void printHeldNewestFirst()
    {
        for (auto it = m_held.rbegin(); it != m_held.rend() && !m_writeError; ++it) {
            print(*it, true);
            *it = RowBatch();
        }
        flush();
    }

    std::size_t rowCount() const { return m_rowCount; }
    int writeError() const { return m_writeError; }

  private:
    void print(const RowBatch &rows, bool reversed)
    {
        const char end = m_options.print0 ? '\0' : '\n';
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const std::size_t i = reversed ? rows.size() - 1 - k : k;
            m_out.append(rows.path(i));
            if (m_actions)
                m_actions->addRow(rows.path(i));
            if (m_options.columns) {
                m_out.push_back('\t');
                m_out.append(rows.name(i));
            }
            m_out.push_back(end);
            if (m_out.size() >= (1u << 16))
                flush();
        }
    }

    void flush()
    {
        if (m_writeError || m_out.empty()) {
            m_out.clear();
            return;
        }
        m_writeError = writeAll(STDOUT_FILENO, m_out);
        m_out.clear();
        if (m_writeError)
            m_stop = true; // nowhere to put the rows: end the walk
    }

    const FindOptions &m_options;
    bool m_holdRows;
    NotFoundScanner *m_scanner;
    RowActions *m_actions; // collects the printed rows' paths when an action follows the walk
    StopFlag &m_stop;
    std::vector<RowBatch> m_held;
    std::string m_out;
    std::size_t m_rowCount = 0;
    int m_writeError = 0;
};

int run(int argc, char **argv)
{
    std::setlocale(LC_ALL, "");
    std::string error;
    const std::optional<FindOptions> parsed = parseFindOptions(argc, argv, error);
    if (!parsed) {
        complain(error, {});
        writeAll(STDERR_FILENO, "Try 'quorvel-find --help' for more information.\n");
        return 2;
    }
    const FindOptions &options = *parsed;
    if (options.help) {
        writeAll(STDOUT_FILENO, findUsage());
        return 0;
    }
    if (options.version) {
        writeAll(STDOUT_FILENO, std::string(kProgram) + " " QUORVEL_VERSION "\n");
        return 0;
    }
    const text::Codeset codeset = options.codeset.value_or(text::codesetOfLocale());
    if (!options.actionFolder.empty()) {
        const std::string problem = destinationFolderProblem(options.actionFolder);
        if (!problem.empty()) {
            complain(options.actionFolder, problem);
            return 2;
        }
    }

    // The keywords: each -k text as the window's keyword box has it after a search, then
    // every -e keyword that is not blank.
    std::vector<std::string> keywords;
    for (const std::string &file : options.keywordFiles) {
        std::optional<std::string> text = readKeywordFile(file);
        if (!text) {
            complain(file == "-" ? "(standard input)" : file, std::strerror(errno));
            return 2;
        }
        for (std::string &line : keywordLinesOf(normaliseKeywordText(*text, codeset), codeset))
            keywords.push_back(std::move(line));
    }
    for (const std::string &keyword : options.extraKeywords) {
        if (!text::isOnlySpaces(keyword, codeset))
            keywords.push_back(keyword);
    }
    if (keywords.empty()) {
        complain("no keywords: every keyword line is blank", {});
        return 2;
    }

    WalkOptions walk;
    std::vector<std::string> roots = options.roots;
    if (options.allDisks) {
        roots = everyFixedDisk();
        walk.mounts = MountPolicy::StayOnRootMount;
    }

    // The window shows file-name hits newest first and folder-name hits in the order found.
    const bool listIsReversed = !options.folders;
    std::optional<NotFoundScanner> scanner;
    if (options.notFoundFile) {
        scanner.emplace(keywords,
                        listIsReversed ? NotFoundScanner::Feed::ReverseListOrder : NotFoundScanner::Feed::ListOrder,
                        codeset);
    }
    std::optional<RowActions> actions;
    if (options.action != RowAction::None)
        actions.emplace(options);
    StopFlag stop{false};
    PrintingSink sink(options, options.listOrder && listIsReversed, scanner ? &*scanner : nullptr,
                      actions ? &*actions : nullptr, stop);
    if (options.folders) {
        const std::atomic<bool> exact{!options.fuzzy};
        searchFolderNames(keywords, roots, exact, sink, stop, {}, codeset, walk);
    } else {
        searchFileNames(keywords, roots, options.fuzzy, sink, stop, {}, codeset, walk);
        sink.printHeldNewestFirst();
    }
    if (sink.writeError()) {
        complain("standard output", std::strerror(sink.writeError()));
        return 2;
    }
    if (scanner) {
        const std::string failure = writeWholeFileAtomically(*options.notFoundFile, scanner->report());
        if (!failure.empty()) {
            complain(*options.notFoundFile, failure);
            return 2;
        }
    }
    const int searchStatus = sink.rowCount() > 0 ? 0 : 1;
    if (!actions)
        return searchStatus;

    // The walk has ended: nothing moves under it any more.
    if (options.dryRun) {
        int failure = 0;
        actions->printDryRun(options.print0 ? '\0' : '\n', [&failure](std::string_view piece) {
            failure = writeAll(STDOUT_FILENO, piece);
            return failure == 0;
        });
        if (failure) {
            complain("standard output", std::strerror(failure));
            return 2;
        }
        return searchStatus;
    }
    InterruptCatcher interrupt;
    const RowActionTally tally = actions->perform(
        [](const std::string &path, const std::string &reason) { complain(path, reason); }, interrupt.flag());
    complain(actions->summary(tally), {});
    if (tally.interrupted)
        interrupt.endAsSignalled();
    return tally.failed > 0 || tally.interrupted ? 3 : searchStatus;
}

} // namespace
} // namespace quorvel

int main(int argc, char **argv)
{
    return quorvel::run(argc, argv);
}
