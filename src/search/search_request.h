#pragma once

#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "search/found_rows.h"
#include "search/walk_options.h"

namespace quorvel {

class MainWindow;

// The search button and the stop button. A request checks the window's inputs, rewrites the
// keyword box without blank lines, rebuilds the process-wide arrays, empties the result list
// and starts the file-name or folder-name search on a worker thread that works on its own
// copies of the arrays. Rows reach the list in batches, a few dozen times a second, so the
// window answers at once all along.
//
// The stop flag is the caption of 按钮_停止搜索: "停止搜索" means go on, "已停止" means stop.
// The caption is mirrored into an atomic flag that the worker polls after every file and
// folder. A request made while a search runs stops that search and waits for its end
// before it touches the arrays or the list: one search runs at a time.
class SearchRequest : public QObject
{
    Q_OBJECT

  public:
    explicit SearchRequest(MainWindow &window);
    ~SearchRequest() override;

    void startSearch();
    void stopSearch();
    // True when the stop caption reads exactly "已停止".
    bool isStopRequested() const;
    bool isRunning() const { return m_worker.joinable(); }

  signals:
    // A search has ended (normally or stopped) and its final status text stands.
    void searchFinished();

  private:
    class QueueSink;
    enum class Kind { FileNames, FolderNames };

    void setStopCaption(const char *caption);
    void stopRunningSearch();
    void launch(Kind kind, bool fuzzy, const WalkOptions &walk);
    void drainRows();
    void onWorkerDone();

    MainWindow &m_window;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_exact{true};
    std::shared_ptr<QueueSink> m_sink;
    std::thread m_worker;
    Kind m_kind = Kind::FileNames;
    QTimer m_drainTimer;
};

} // namespace quorvel
