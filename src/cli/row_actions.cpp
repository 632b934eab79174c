#include "cli/row_actions.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "fileops/copy_move.h"
#include "fileops/trash.h"

namespace quorvel {
namespace {

// The last part of a path, trailing separators ignored ("/a/b/" gives "b").
std::string_view baseName(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string joinPath(std::string_view folder, std::string_view name)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

bool exists(const std::string &path)
{
    struct stat st {
    };
    return ::lstat(path.c_str(), &st) == 0;
}

bool isMissing(const std::string &path)
{
    struct stat st {
    };
    return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

} // namespace

std::string destinationFolderProblem(const std::string &folder)
{
    struct stat st {
    };
    if (::stat(folder.c_str(), &st) != 0)
        return std::strerror(errno);
    if (!S_ISDIR(st.st_mode))
        return "not a folder";
    return {};
}

RowActions::RowActions(const FindOptions &options)
    : m_action(options.action), m_folder(options.actionFolder),
      m_clash(options.renameOnClash ? ClashMode::Rename : ClashMode::Replace)
{
}

bool DistinctPaths::add(std::string_view path)
{
    if (m_paths.size() + 1 > m_slots.size() / 2)
        grow();
    const std::uint64_t hash = std::hash<std::string_view>{}(path);
    const std::size_t slot = findSlot(path, hash);
    if (m_slots[slot].entry != 0)
        return false;
    constexpr std::size_t kBlockBytes = 1 << 20;
    if (m_blocks.empty() || m_blocks.back().capacity() - m_blocks.back().size() < path.size()) {
        m_blocks.emplace_back();
        m_blocks.back().reserve(std::max(kBlockBytes, path.size()));
    }
    std::string &block = m_blocks.back();
    block.append(path); // within the reserved capacity: earlier views stay valid
    m_paths.emplace_back(block.data() + block.size() - path.size(), path.size());
    m_hashes.push_back(hash);
    m_slots[slot] = {static_cast<std::uint32_t>(m_paths.size()), static_cast<std::uint32_t>(hash >> 32)};
    return true;
}

bool DistinctPaths::contains(std::string_view path) const
{
    if (m_slots.empty())
        return false;
    return m_slots[findSlot(path, std::hash<std::string_view>{}(path))].entry != 0;
}

std::size_t DistinctPaths::findSlot(std::string_view path, std::uint64_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.entry == 0 || (slot.hashTag == tag && m_paths[slot.entry - 1] == path))
            return i;
    }
}

void DistinctPaths::grow()
{
    m_slots.assign(m_slots.empty() ? 1024 : m_slots.size() * 2, Slot{});
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = 0; i < m_hashes.size(); ++i) {
        std::size_t at = m_hashes[i] & mask;
        while (m_slots[at].entry != 0) // every path is distinct: the first free slot is its place
            at = (at + 1) & mask;
        m_slots[at] = {static_cast<std::uint32_t>(i + 1), static_cast<std::uint32_t>(m_hashes[i] >> 32)};
    }
}

bool RowActions::printDryRun(char end, const TextSink &out) const
{
    std::string text;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        switch (m_action) {
        case RowAction::CopyTo:
        case RowAction::MoveTo:
            text.append(m_action == RowAction::CopyTo ? "copy " : "move ");
            text.append(m_entries[i]);
            text.append(" -> ");
            text.append(m_folder);
            break;
        case RowAction::Trash:
            text.append("trash ");
            text.append(m_entries[i]);
            break;
        case RowAction::None:
            return true;
        }
        text.push_back(end);
        if (text.size() >= (1u << 16)) {
            if (!out(text))
                return false;
            text.clear();
        }
    }
    return text.empty() || out(text);
}

bool RowActions::wentAlongWithFolder(const std::string &path) const
{
    if (m_gone.empty() || !isMissing(path))
        return false;
    for (std::size_t slash = path.rfind('/'); slash != std::string::npos && slash > 0;
         slash = path.rfind('/', slash - 1)) {
        if (m_gone.count(path.substr(0, slash)))
            return true;
    }
    return false;
}

std::string RowActions::refusedReplacement(const std::string &path) const
{
    const std::string_view name = baseName(path);
    const std::string wanted = joinPath(m_folder, name);
    if (wanted == path || !exists(wanted))
        return {};
    if (m_placed.count(std::string(name)))
        return "not moved: " + wanted +
               " holds an earlier row's entry and is not replaced (--rename-on-clash keeps both)";
    if (m_entries.contains(wanted) && !m_gone.count(wanted))
        return "not moved: " + wanted + " is itself a row and is not replaced (--rename-on-clash keeps both)";
    return {};
}

RowActionTally RowActions::perform(const FailureReport &report, const StopFlag &interrupt)
{
    RowActionTally tally;
    tally.entries = m_entries.size();
    OperationControl control;
    control.cancel = &interrupt;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const std::string path(m_entries[i]);
        if (interrupt) {
            tally.interrupted = true;
            tally.notDone = m_entries.size() - i;
            break;
        }
        if (m_action != RowAction::CopyTo && wentAlongWithFolder(path)) {
            ++tally.done;
            continue;
        }
        if (m_action == RowAction::MoveTo && m_clash == ClashMode::Replace) {
            const std::string refusal = refusedReplacement(path);
            if (!refusal.empty()) {
                report(path, refusal);
                ++tally.failed;
                continue;
            }
        }
        FileOpResult result;
        switch (m_action) {
        case RowAction::CopyTo:
            result = copyEntry(path, m_folder, m_clash, control);
            break;
        case RowAction::MoveTo:
            result = moveEntry(path, m_folder, m_clash, control);
            break;
        case RowAction::Trash:
            result = moveToTrash(path);
            break;
        case RowAction::None:
            return tally;
        }
        switch (result.status) {
        case FileOpStatus::Done:
            ++tally.done;
            if (m_action != RowAction::CopyTo)
                m_gone.insert(path);
            if (m_action == RowAction::MoveTo)
                m_placed.emplace(baseName(result.target));
            break;
        case FileOpStatus::Cancelled:
            tally.interrupted = true;
            tally.notDone = m_entries.size() - i;
            return tally;
        case FileOpStatus::CannotTrash:
            report(path, result.reason + "; its volume has no usable trash, so it was left where it is");
            ++tally.failed;
            break;
        case FileOpStatus::Failed:
            report(path, result.reason);
            ++tally.failed;
            break;
        }
    }
    return tally;
}

std::string RowActions::summary(const RowActionTally &tally) const
{
    std::string line = m_action == RowAction::CopyTo ? "copied " : "moved ";
    line += std::to_string(tally.done) + " of " + std::to_string(tally.entries);
    line += tally.entries == 1 ? " entry to " : " entries to ";
    line += m_action == RowAction::Trash ? std::string("the trash") : m_folder;
    if (tally.failed > 0)
        line += "; " + std::to_string(tally.failed) + " failed";
    if (tally.interrupted)
        line += "; interrupted, " + std::to_string(tally.notDone) + " not done";
    return line;
}

namespace {

StopFlag g_interrupted{false};
volatile std::sig_atomic_t g_caughtSignal = 0;
constexpr int kCaughtSignals[3] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void onInterrupt(int signalNumber)
{
    g_caughtSignal = signalNumber;
    g_interrupted.store(true);
}

} // namespace

InterruptCatcher::InterruptCatcher()
{
    g_interrupted.store(false);
    g_caughtSignal = 0;
    struct sigaction catching {
    };
    catching.sa_handler = onInterrupt;
    sigemptyset(&catching.sa_mask);
    catching.sa_flags = SA_RESTART; // system calls of the operation under way go on
    for (int i = 0; i < 3; ++i) {
        ::sigaction(kCaughtSignals[i], nullptr, &m_previous[i]);
        if (m_previous[i].sa_handler != SIG_IGN) // an ignored signal stays ignored
            ::sigaction(kCaughtSignals[i], &catching, nullptr);
    }
}

InterruptCatcher::~InterruptCatcher()
{
    if (!m_restored) {
        for (int i = 0; i < 3; ++i)
            ::sigaction(kCaughtSignals[i], &m_previous[i], nullptr);
    }
}

const StopFlag &InterruptCatcher::flag() const
{
    return g_interrupted;
}

void InterruptCatcher::endAsSignalled()
{
    for (int i = 0; i < 3; ++i)
        ::sigaction(kCaughtSignals[i], &m_previous[i], nullptr);
    m_restored = true;
    if (g_caughtSignal != 0)
        std::raise(g_caughtSignal);
}

} // namespace quorvel
