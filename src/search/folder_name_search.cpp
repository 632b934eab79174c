#include "search/folder_name_search.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "search/folder_reader.h"
#include "search/name_matcher.h"
#include "search/row_flusher.h"

namespace quorvel {
namespace {

// The folders of one root, kept as a tree of names (a path is built only for a hit), and
// their order: children before their parent.
class FolderTree
{
  public:
    explicit FolderTree(const std::string &root) : m_root(root) { m_nodes.push_back({UINT32_MAX, 0, 0}); }

    std::uint32_t add(std::uint32_t parent, std::string_view name)
    {
        m_nodes.push_back({parent, m_names.size(), static_cast<std::uint32_t>(name.size())});
        m_names.append(name);
        return static_cast<std::uint32_t>(m_nodes.size() - 1);
    }
    void dropLast()
    {
        m_names.resize(m_nodes.back().nameOffset);
        m_nodes.pop_back();
    }

    // The text after the last "/" of the node's path.
    std::string_view name(std::uint32_t node) const
    {
        if (node != 0)
            return std::string_view(m_names).substr(m_nodes[node].nameOffset, m_nodes[node].nameLength);
        const std::size_t slash = m_root.rfind('/'); // '/' never lies inside a multibyte character
        return slash == std::string::npos ? std::string_view(m_root) : std::string_view(m_root).substr(slash + 1);
    }

    void path(std::uint32_t node, std::string &out) const
    {
        std::vector<std::uint32_t> chain;
        for (std::uint32_t n = node; n != 0; n = m_nodes[n].parent)
            chain.push_back(n);
        out = m_root;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            if (out.empty() || out.back() != '/')
                out.push_back('/');
            out.append(name(*it));
        }
    }

    std::vector<std::uint32_t> order; // node ids, children before parents, the root first

  private:
    struct Node {
        std::uint32_t parent;
        std::size_t nameOffset;
        std::uint32_t nameLength;
    };
    std::string m_root;
    std::vector<Node> m_nodes;
    std::string m_names;
};

// Collects the folders of one root, depth-first with an explicit stack. Each folder on the
// stack keeps its descriptor while it still has subfolders to open, so subfolders are opened
// relative to it (no long paths); past a budget of open descriptors the shallowest ones are
// closed and reopened by path when needed.
class FolderCollector
{
  public:
    FolderCollector(const WalkOptions &options, const StopFlag *stop, RowSink *sink, RowFlusher *flusher,
                    WalkProgress *progress)
        : m_options(options), m_stop(stop), m_sink(sink), m_flusher(flusher), m_progress(progress)
    {
    }

    // False when the root names no folder (nothing collected).
    bool collect(FolderTree &tree, const std::string &root)
    {
        struct stat st;
        if (root.empty() || ::stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            // A long root path is still a folder when it opens as one.
            FolderReader probe;
            const int error = root.empty() ? ENOENT : probe.openPath(root, true);
            if (error) {
                fail(root, error);
                return false;
            }
        }
        tree.order.push_back(0);
        m_stack.clear();
        m_open = 0;
        Frame first;
        first.node = 0;
        const int error = first.reader.openPath(root, true);
        if (error) {
            fail(root, error);
            return true;
        }
        if (m_options.mounts == MountPolicy::StayOnRootMount)
            m_rootMount = first.reader.mountIdentity();
        if (const int listError = listSubfolders(first))
            fail(root, listError);
        push(std::move(first));

        std::string path;
        while (!m_stack.empty()) {
            if (m_stop && m_stop->load(std::memory_order_relaxed))
                return true;
            Frame &top = m_stack.back();
            if (top.next == top.children.size()) {
                if (top.node != 0)
                    tree.order.push_back(top.node);
                if (top.reader.isOpen())
                    --m_open;
                m_stack.pop_back();
                continue;
            }
            const Child child = top.children[top.next++];
            const std::string_view name = std::string_view(top.names).substr(child.offset, child.length);
            const std::uint32_t node = tree.add(top.node, name);
            if (child.isLink) {
                tree.order.push_back(node);
                continue;
            }
            Frame next;
            next.node = node;
            int error;
            if (!top.reader.isOpen()) {
                // Its descriptor went to the budget: open the child by its whole path.
                tree.path(node, path);
                error = next.reader.openPath(path, false);
            } else {
                error = next.reader.openChild(top.reader.fd(), name);
                if (top.next == top.children.size()) {
                    top.reader.close();
                    --m_open;
                }
            }
            if (error) {
                tree.path(node, path);
                fail(path, error);
                tree.order.push_back(node);
                continue;
            }
            if (m_options.mounts == MountPolicy::StayOnRootMount && next.reader.mountIdentity() != m_rootMount) {
                tree.dropLast();
                continue;
            }
            if (const int listError = listSubfolders(next)) {
                tree.path(node, path);
                fail(path, listError);
            }
            if (next.children.empty()) {
                tree.order.push_back(node);
                continue;
            }
            push(std::move(next));
        }
        return true;
    }

  private:
    static constexpr std::size_t kOpenBudget = 128;

    struct Child {
        std::uint32_t offset;
        std::uint32_t length;
        bool isLink;
    };
    struct Frame {
        std::uint32_t node = 0;
        FolderReader reader;
        std::string names;
        std::vector<Child> children;
        std::size_t next = 0;
    };

    void fail(std::string_view path, int error)
    {
        if (m_sink)
            m_sink->folderFailed(path, error);
    }

    // Reads the subfolders (and links to folders) of an open folder, in listing order.
    // Returns 0 or the errno value of a failed read.
    int listSubfolders(Frame &frame)
    {
        const int error = frame.reader.readAll([&](std::string_view name, ListedType type) {
            if (type == ListedType::File)
                return true;
            const EntryKind kind = frame.reader.resolve(name, type);
            if (kind == EntryKind::File)
                return true;
            frame.children.push_back({static_cast<std::uint32_t>(frame.names.size()),
                                      static_cast<std::uint32_t>(name.size()), kind == EntryKind::FolderLink});
            frame.names.append(name);
            return true;
        });
        if (m_progress) {
            ++m_progress->folders;
            if (m_flusher)
                m_flusher->tick(*m_progress);
        }
        return error;
    }

    void push(Frame &&frame)
    {
        if (frame.children.empty() || frame.next == frame.children.size()) {
            frame.reader.close();
        } else if (frame.reader.isOpen()) {
            ++m_open;
        }
        m_stack.push_back(std::move(frame));
        if (m_open > kOpenBudget) {
            for (Frame &f : m_stack) {
                if (f.reader.isOpen()) {
                    f.reader.close();
                    --m_open;
                    break;
                }
            }
        }
    }

    const WalkOptions &m_options;
    const StopFlag *m_stop;
    RowSink *m_sink;
    RowFlusher *m_flusher;
    WalkProgress *m_progress;
    std::vector<Frame> m_stack;
    std::size_t m_open = 0;
    std::uint64_t m_rootMount = 0;
};

} // namespace

std::vector<std::string> collectFolders(const std::string &root, const WalkOptions &options)
{
    FolderTree tree(root);
    FolderCollector collector(options, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::string> list;
    if (!collector.collect(tree, root))
        return list;
    list.reserve(tree.order.size());
    for (std::uint32_t node : tree.order) {
        list.emplace_back();
        tree.path(node, list.back());
    }
    return list;
}

void searchFolderNames(const std::vector<std::string> &keywords, const std::vector<std::string> &roots,
                       const std::atomic<bool> &exact, RowSink &sink, const StopFlag &stop,
                       const std::function<void(const WalkProgress &)> &progress, text::Codeset codeset,
                       const WalkOptions &options)
{
    RowFlusher flusher(sink, progress);
    WalkProgress seen;
    std::string path;
    KeywordMatcher::Scratch scratch;
    std::vector<std::uint32_t> hits;
    struct Hit {
        std::uint32_t keyword;
        std::uint32_t position; // in the folder list
    };
    std::vector<Hit> found;

    for (const std::string &root : roots) {
        if (stop.load())
            break;
        FolderTree tree(root);
        FolderCollector collector(options, &stop, &sink, &flusher, &seen);
        if (!collector.collect(tree, root))
            continue;
        const std::vector<std::uint32_t> &list = tree.order;

        // The tests run keyword by keyword from (keyword, position); every hit of the
        // current rule is found in one pass over the list, then handed out in test order.
        // When the rule changes, the pass is redone from the test where the change was seen.
        std::uint32_t fromKeyword = 0, fromPosition = 0;
        while (fromKeyword < keywords.size() && !stop.load()) {
            const bool exactNow = exact.load();
            const KeywordMatcher matcher(keywords, exactNow ? MatchRule::WholeName : MatchRule::Contains,
                                         exactNow ? CaseFold::Characters : CaseFold::Bytes, codeset, fromKeyword);
            found.clear();
            for (std::uint32_t position = 0; position < list.size(); ++position) {
                if (stop.load(std::memory_order_relaxed))
                    break;
                matcher.match(tree.name(list[position]), scratch, hits);
                for (std::uint32_t k : hits) {
                    if (k > fromKeyword || position >= fromPosition)
                        found.push_back({k, position});
                }
            }
            std::stable_sort(found.begin(), found.end(),
                             [](const Hit &a, const Hit &b) { return a.keyword < b.keyword; });

            bool switched = false;
            for (const Hit &hit : found) {
                if (stop.load(std::memory_order_relaxed))
                    break;
                if (exact.load(std::memory_order_relaxed) != exactNow) {
                    // Seen now: the tests from just after the last row on follow the new rule.
                    switched = true;
                    break;
                }
                tree.path(list[hit.position], path);
                flusher.add(path, {}, false);
                fromKeyword = hit.keyword;
                fromPosition = hit.position + 1;
            }
            if (!switched)
                break;
        }
        flusher.tick(seen);
    }
    flusher.finish(seen);
}

} // namespace quorvel
