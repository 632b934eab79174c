#pragma once

#include <QObject>
#include <QPointer>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "fileops/file_op_result.h"

namespace quorvel {

// One thread that carries out file operations one at a time, off the window's thread, and
// hands each result back to the window's thread; so a long copy never freezes the window.
class OperationWorker
{
  public:
    OperationWorker();
    // Raises the cancel flag and waits for the operation under way, if any.
    ~OperationWorker();
    OperationWorker(const OperationWorker &) = delete;
    OperationWorker &operator=(const OperationWorker &) = delete;

    // Runs operation on the worker thread; then done(result) runs on the thread of
    // `receiver` (unless it is gone by then).
    void submit(std::function<FileOpResult(const OperationControl &)> operation, QObject *receiver,
                std::function<void(const FileOpResult &)> done);

  private:
    struct Job {
        std::function<FileOpResult(const OperationControl &)> operation;
        QPointer<QObject> receiver;
        std::function<void(const FileOpResult &)> done;
    };
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_quit = false;
    StopFlag m_cancel{false};
    std::thread m_thread;
};

} // namespace quorvel
