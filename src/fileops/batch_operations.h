#pragma once

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fileops/file_op_result.h"

namespace quorvel {

class MainWindow;
class OperationWorker;

// The batch buttons of the result list: copy (按钮3) or move (按钮5) every checked row into
// a chosen folder, and delete (按钮4) every checked row to the trash, then take their rows
// out of the list. One operation per checked row, in row order, each on a worker thread
// while the window stays live; 进度条1 and 标签_状态 follow the work. A row whose operation
// fails is counted as failed, never as done, and at the end the user is told which rows
// failed and why. While a batch runs, actions that would change the rows (a new search, a
// sort, another batch) are held off, so the rows the batch handles stay the rows it saw.
class BatchOperations : public QObject
{
    Q_OBJECT

  public:
    explicit BatchOperations(MainWindow &window);
    ~BatchOperations() override;

    void copySelectedFiles();
    void moveSelectedFiles();
    void deleteSelectedFiles();
    bool isRunning() const { return m_run != nullptr; }

  signals:
    // A batch has ended and its final status text or message stands.
    void batchFinished();

  private:
    enum class Kind { Copy, Move, Delete };
    struct Failure {
        std::string path;
        std::string reason;
    };
    struct Run;

    void start(Kind kind, const std::string &destination);
    void step();
    void handleResult(std::size_t row, const std::string &path, const FileOpResult &result);
    void offerPermanentDelete();
    void deleteNextPermanently();
    void finishDelete();
    void finish();
    // The current index of a row that stood at `row` when the batch began (rows put on top
    // by a running search since then push it down).
    std::size_t currentIndex(std::size_t row) const;
    bool refuseWhileBusy();
    // Where an entry lands in the destination under its own name.
    std::string targetOf(const std::string &path) const;

    MainWindow &m_window;
    std::unique_ptr<OperationWorker> m_worker;
    std::unique_ptr<Run> m_run;
};

} // namespace quorvel
