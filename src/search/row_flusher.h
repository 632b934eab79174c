#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string_view>

#include "search/found_rows.h"

namespace quorvel {

// Collects a walk's rows and hands them to the sink in batches: when a batch holds 1024
// rows, when 25 ms have passed since the last hand-over (so a live list moves while a long
// walk finds little), and at the end. Reports progress on the same clock.
class RowFlusher
{
  public:
    static constexpr std::size_t kBatchRows = 1024;
    static constexpr std::chrono::milliseconds kInterval{25};

    RowFlusher(RowSink &sink, const std::function<void(const WalkProgress &)> &progress)
        : m_sink(sink), m_progress(progress), m_last(std::chrono::steady_clock::now())
    {
    }

    void add(std::string_view folder, std::string_view name, bool nameIsColumn)
    {
        m_batch.add(folder, name, nameIsColumn);
        if (m_batch.size() >= kBatchRows)
            flushRows();
    }

    // Call often (once per folder, and every few hundred files): flushes and reports when
    // the interval has passed.
    void tick(const WalkProgress &progress)
    {
        const auto now = std::chrono::steady_clock::now();
        if (now - m_last < kInterval)
            return;
        m_last = now;
        flushRows();
        if (m_progress)
            m_progress(progress);
    }

    // Hands over what is left and reports the final progress.
    void finish(const WalkProgress &progress)
    {
        flushRows();
        if (m_progress)
            m_progress(progress);
    }

    RowSink &sink() { return m_sink; }

  private:
    void flushRows()
    {
        if (m_batch.empty())
            return;
        m_sink.takeRows(std::move(m_batch));
        m_batch = RowBatch();
    }

    RowSink &m_sink;
    const std::function<void(const WalkProgress &)> &m_progress;
    std::chrono::steady_clock::time_point m_last;
    RowBatch m_batch;
};

} // namespace quorvel
