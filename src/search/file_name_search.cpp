#include "search/file_name_search.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <deque>
#include <mutex>
#include <thread>

#include "search/folder_reader.h"
#include "search/name_matcher.h"
#include "search/row_flusher.h"

namespace quorvel {
namespace {

// Folders are opened relative to the nearest ancestor whose descriptor is still open, so
// the kernel resolves a few names instead of the whole path, and a very deep tree costs no
// more per folder than a shallow one. A folder with subfolders keeps its descriptor for
// them while the budget of kept descriptors allows (a quarter of the process's limit).
int keptDescriptorBudget()
{
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 64;
    const rlim_t quarter = limit.rlim_cur / 4;
    return static_cast<int>(std::clamp<rlim_t>(quarter, 16, 4096));
}

// An open folder kept for opening the folders below it; closed when no queued folder needs it.
class ParentFolder
{
  public:
    ParentFolder(int fd, std::atomic<int> &kept) : m_fd(fd), m_kept(kept) {}
    ~ParentFolder()
    {
        ::close(m_fd);
        m_kept.fetch_sub(1, std::memory_order_relaxed);
    }
    ParentFolder(const ParentFolder &) = delete;
    ParentFolder &operator=(const ParentFolder &) = delete;
    int fd() const { return m_fd; }

  private:
    int m_fd;
    std::atomic<int> &m_kept;
};

// What listing one folder gave: its subfolders and its matching files, in listing order.
struct FolderOutcome {
    std::string subfolders;             // each name followed by '\0'
    std::string hitNames;               // each name followed by '\0'
    std::vector<std::uint32_t> hitRows; // rows per hit name (matching keywords)
    std::uint64_t files = 0;
    int error = 0;
    bool otherMount = false;
    std::uint64_t mount = 0;            // of a root, when the walk stays on its mount
    std::shared_ptr<ParentFolder> kept; // this folder, kept open for its subfolders
};

struct FolderJob {
    std::string path; // ends with '/' (empty for an empty root, which names nothing)
    std::size_t root; // index of the root, for messages
    bool isRoot;
    std::shared_ptr<ParentFolder> base; // an open ancestor, or none
    std::size_t baseLength = 0;         // the length of the ancestor's path within path
};

// Lists one folder and tests its files. One per thread.
class FolderLister
{
  public:
    FolderLister(const KeywordMatcher &matcher, const StopFlag &stop, MountPolicy mounts, std::atomic<int> &kept)
        : m_matcher(matcher), m_stop(stop), m_mounts(mounts), m_kept(kept), m_budget(keptDescriptorBudget())
    {
    }

    void list(const FolderJob &job, std::uint64_t rootMount, FolderOutcome &out)
    {
        out = FolderOutcome();
        if (job.base)
            out.error = m_reader.openPath(std::string_view(job.path).substr(job.baseLength), false, job.base->fd());
        else
            out.error = m_reader.openPath(job.path, job.isRoot);
        if (out.error)
            return;
        if (m_mounts == MountPolicy::StayOnRootMount) {
            const std::uint64_t mount = m_reader.mountIdentity();
            if (job.isRoot) {
                out.mount = mount;
            } else if (mount != rootMount) {
                out.otherMount = true;
                m_reader.close();
                return;
            }
        }
        out.error = m_reader.readAll([&](std::string_view name, ListedType type) {
            if (m_stop.load(std::memory_order_relaxed))
                return false;
            if (type == ListedType::Unknown) {
                const EntryKind kind = m_reader.resolve(name, type);
                if (kind == EntryKind::FolderLink)
                    return true;
                type = kind == EntryKind::Folder ? ListedType::Folder : ListedType::File;
            }
            if (type == ListedType::Folder) {
                out.subfolders.append(name);
                out.subfolders.push_back('\0');
                return true;
            }
            ++out.files;
            m_matcher.match(name, m_scratch, m_hits);
            // A link is a file unless it leads to a folder; only a hit needs to know which.
            if (m_hits.empty() || (type == ListedType::Link && m_reader.resolve(name, type) == EntryKind::FolderLink))
                return true;
            out.hitNames.append(name);
            out.hitNames.push_back('\0');
            out.hitRows.push_back(static_cast<std::uint32_t>(m_hits.size()));
            return true;
        });
        if (!out.subfolders.empty()) {
            if (m_kept.fetch_add(1, std::memory_order_relaxed) < m_budget || job.isRoot)
                out.kept = std::make_shared<ParentFolder>(m_reader.release(), m_kept);
            else
                m_kept.fetch_sub(1, std::memory_order_relaxed);
        }
        m_reader.close();
    }

  private:
    const KeywordMatcher &m_matcher;
    const StopFlag &m_stop;
    MountPolicy m_mounts;
    KeywordMatcher::Scratch m_scratch;
    std::vector<std::uint32_t> m_hits;
    FolderReader m_reader;
    std::atomic<int> &m_kept;
    int m_budget;
};

template <typename OnName> void forEachPacked(const std::string &packed, OnName &&onName)
{
    for (std::size_t at = 0; at < packed.size();) {
        const std::size_t end = packed.find('\0', at);
        onName(std::string_view(packed).substr(at, end - at));
        at = end + 1;
    }
}

// Turns outcomes, taken in queue order, into rows, queued subfolders and messages.
class Committer
{
  public:
    Committer(const std::vector<std::string> &roots, RowFlusher &flusher) : m_roots(roots), m_flusher(flusher) {}

    template <typename Enqueue> void commit(const FolderJob &job, const FolderOutcome &out, Enqueue &&enqueue)
    {
        if (out.error) {
            std::string_view shown = job.path;
            if (job.isRoot)
                shown = m_roots[job.root];
            else if (shown.size() > 1)
                shown.remove_suffix(1);
            m_flusher.sink().folderFailed(shown, out.error);
        }
        if (out.otherMount)
            return;
        ++m_progress.folders;
        m_progress.files += out.files;
        forEachPacked(out.subfolders, [&](std::string_view name) {
            std::string path;
            path.reserve(job.path.size() + name.size() + 1);
            path.append(job.path).append(name).push_back('/');
            if (out.kept)
                enqueue(FolderJob{std::move(path), job.root, false, out.kept, job.path.size()});
            else
                enqueue(FolderJob{std::move(path), job.root, false, job.base, job.baseLength});
        });
        std::size_t hit = 0;
        forEachPacked(out.hitNames, [&](std::string_view name) {
            for (std::uint32_t row = 0; row < out.hitRows[hit]; ++row)
                m_flusher.add(job.path, name, true);
            ++hit;
        });
        m_flusher.tick(m_progress);
    }

    const WalkProgress &progress() const { return m_progress; }

  private:
    const std::vector<std::string> &m_roots;
    RowFlusher &m_flusher;
    WalkProgress m_progress;
};

// The cores this process may run on (its affinity mask), which may be fewer than the
// machine has.
unsigned usableCores()
{
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

std::string rootFolder(const std::string &root)
{
    return root.empty() || root.back() == '/' ? root : root + '/';
}

void walkOnOneThread(const std::vector<std::string> &roots, const KeywordMatcher &matcher, const StopFlag &stop,
                     MountPolicy mounts, Committer &committer)
{
    std::atomic<int> kept{0};
    FolderLister lister(matcher, stop, mounts, kept);
    FolderOutcome out;
    std::deque<FolderJob> queue;
    for (std::size_t r = 0; r < roots.size() && !stop.load(); ++r) {
        queue.push_back(FolderJob{rootFolder(roots[r]), r, true, nullptr, 0});
        std::uint64_t rootMount = 0;
        while (!queue.empty() && !stop.load()) {
            FolderJob job = std::move(queue.front());
            queue.pop_front();
            lister.list(job, rootMount, out);
            job.base.reset();
            if (job.isRoot)
                rootMount = out.mount;
            committer.commit(job, out, [&](FolderJob &&child) { queue.push_back(std::move(child)); });
            out.kept.reset();
        }
        queue.clear();
    }
}

// Listing threads work ahead through the queue while the calling thread commits their
// outcomes strictly in queue order (listing folders itself while it has nothing to commit),
// so rows come out exactly as a single thread finds them.
class ParallelWalk
{
  public:
    // How far (in folders) the listing threads may run ahead of the committed position.
    static constexpr std::uint64_t kAhead = 4096;

    // threads: the listing threads in all, the calling thread included.
    ParallelWalk(const KeywordMatcher &matcher, const StopFlag &stop, MountPolicy mounts, unsigned threads)
        : m_stop(stop), m_lister(matcher, stop, mounts, m_kept)
    {
        for (unsigned t = 1; t < threads; ++t) {
            m_threads.emplace_back([this, &matcher, &stop, mounts] {
                FolderLister lister(matcher, stop, mounts, m_kept);
                work(lister);
            });
        }
    }

    ~ParallelWalk()
    {
        {
            std::lock_guard lock(m_mutex);
            m_shutdown = true;
        }
        m_workCv.notify_all();
        for (std::thread &t : m_threads)
            t.join();
    }

    void walk(const std::vector<std::string> &roots, Committer &committer)
    {
        for (std::size_t r = 0; r < roots.size() && !m_stop.load(); ++r) {
            {
                std::lock_guard lock(m_mutex);
                enqueueLocked(FolderJob{rootFolder(roots[r]), r, true, nullptr, 0});
            }
            m_workCv.notify_one();
            if (!walkRoot(committer))
                return;
        }
    }

  private:
    struct Slot {
        FolderJob job;
        FolderOutcome outcome;
        bool ready = false;
    };

    void enqueueLocked(FolderJob &&job)
    {
        m_slots.push_back(Slot{std::move(job), {}, false});
        ++m_queued;
    }

    // Commits the current root's folders until its queue runs out; false after a stop.
    bool walkRoot(Committer &committer)
    {
        std::vector<FolderJob> children;
        FolderOutcome listed;
        for (;;) {
            Slot slot;
            {
                std::unique_lock lock(m_mutex);
                for (;;) {
                    if (m_stop.load())
                        return false;
                    if (m_slots.front().ready)
                        break;
                    if (m_taken < m_queued && m_taken < m_committed + kAhead) {
                        // Nothing to commit yet: list the next folder here rather than wait.
                        const std::uint64_t seq = m_taken++;
                        FolderJob job = m_slots[seq - m_committed].job;
                        const std::uint64_t rootMount = m_rootMount;
                        lock.unlock();
                        m_lister.list(job, rootMount, listed);
                        job.base.reset();
                        lock.lock();
                        Slot &done = m_slots[seq - m_committed];
                        done.outcome = std::move(listed);
                        done.ready = true;
                        continue;
                    }
                    m_doneCv.wait_for(lock, std::chrono::milliseconds(10));
                }
                slot = std::move(m_slots.front());
                m_slots.pop_front();
                ++m_committed;
            }
            children.clear();
            slot.job.base.reset();
            committer.commit(slot.job, slot.outcome, [&](FolderJob &&child) { children.push_back(std::move(child)); });
            slot.outcome.kept.reset();
            bool rootDone;
            {
                std::lock_guard lock(m_mutex);
                if (slot.job.isRoot)
                    m_rootMount = slot.outcome.mount;
                for (FolderJob &child : children)
                    enqueueLocked(std::move(child));
                rootDone = m_committed == m_queued;
            }
            if (!children.empty())
                m_workCv.notify_all();
            if (rootDone)
                return true;
        }
    }

    void work(FolderLister &lister)
    {
        FolderOutcome out;
        for (;;) {
            FolderJob job;
            std::uint64_t seq, rootMount;
            {
                std::unique_lock lock(m_mutex);
                m_workCv.wait(lock,
                              [&] { return m_shutdown || (m_taken < m_queued && m_taken < m_committed + kAhead); });
                if (m_shutdown)
                    return;
                seq = m_taken++;
                const Slot &slot = m_slots[seq - m_committed];
                job = slot.job;
                rootMount = m_rootMount;
            }
            lister.list(job, rootMount, out);
            job.base.reset();
            {
                std::lock_guard lock(m_mutex);
                Slot &slot = m_slots[seq - m_committed];
                slot.outcome = std::move(out);
                slot.ready = true;
                if (seq != m_committed)
                    continue;
            }
            m_doneCv.notify_one();
        }
    }

    const StopFlag &m_stop;
    std::atomic<int> m_kept{0}; // before the slots, whose jobs may hold kept folders
    std::mutex m_mutex;
    std::condition_variable m_workCv, m_doneCv;
    std::deque<Slot> m_slots;      // queued, uncommitted folders from m_committed on
    std::uint64_t m_queued = 0;    // folders ever queued
    std::uint64_t m_taken = 0;     // folders handed to a listing thread
    std::uint64_t m_committed = 0; // folders committed
    std::uint64_t m_rootMount = 0;
    bool m_shutdown = false;
    FolderLister m_lister; // the calling thread's
    std::vector<std::thread> m_threads;
};

} // namespace

void searchFileNames(const std::vector<std::string> &keywords, const std::vector<std::string> &roots, bool fuzzy,
                     RowSink &sink, const StopFlag &stop, const std::function<void(const WalkProgress &)> &progress,
                     text::Codeset codeset, const WalkOptions &options)
{
    const KeywordMatcher matcher(keywords, fuzzy ? MatchRule::Contains : MatchRule::NameOrStem, CaseFold::Characters,
                                 codeset);
    RowFlusher flusher(sink, progress);

    Committer committer(roots, flusher);

    unsigned threads = options.listingThreads;
    if (threads == 0)
        threads = usableCores();
    if (threads <= 1) {
        walkOnOneThread(roots, matcher, stop, options.mounts, committer);
    } else {
        ParallelWalk walk(matcher, stop, options.mounts, threads);
        walk.walk(roots, committer);
    }
    flusher.finish(committer.progress());
}

} // namespace quorvel
