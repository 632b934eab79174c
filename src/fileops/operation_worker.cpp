#include "fileops/operation_worker.h"

namespace quorvel {

OperationWorker::OperationWorker() : m_thread([this] { run(); }) {}

OperationWorker::~OperationWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_jobs.clear();
    }
    m_cancel = true;
    m_wake.notify_all();
    m_thread.join();
}

void OperationWorker::submit(std::function<FileOpResult(const OperationControl &)> operation, QObject *receiver,
                             std::function<void(const FileOpResult &)> done)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back({std::move(operation), receiver, std::move(done)});
    }
    m_wake.notify_one();
}

void OperationWorker::run()
{
    OperationControl control;
    control.cancel = &m_cancel;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || !m_jobs.empty(); });
            if (m_quit)
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        FileOpResult result = job.operation(control);
        if (QObject *receiver = job.receiver.data()) {
            QMetaObject::invokeMethod(
                receiver, [done = std::move(job.done), result = std::move(result)] { done(result); },
                Qt::QueuedConnection);
        }
    }
}

} // namespace quorvel
