#include "search/search_request.h"

#include <QApplication>
#include <QPushButton>
#include <QCheckBox>
#include <QRadioButton>

#include "app/main_window.h"
#include "roots/fixed_disks.h"
#include "search/file_name_search.h"
#include "search/folder_name_search.h"
#include "search/keyword_text.h"
#include "text/codeset.h"

namespace quorvel {

// Takes the worker's batches and keeps them until the window thread collects them.
class SearchRequest::QueueSink : public RowSink
{
  public:
    void takeRows(RowBatch &&rows) override
    {
        std::lock_guard lock(m_mutex);
        m_batches.push_back(std::move(rows));
    }

    std::vector<RowBatch> collect()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_batches, {});
    }

  private:
    std::mutex m_mutex;
    std::vector<RowBatch> m_batches;
};

namespace {

constexpr const char *kGoOn = "停止搜索";
constexpr const char *kStopped = "已停止";
constexpr int kDrainIntervalMs = 40;

// One batch holding every row of several, in order.
RowBatch joined(std::vector<RowBatch> &batches)
{
    if (batches.size() == 1)
        return std::move(batches.front());
    RowBatch all;
    for (const RowBatch &batch : batches) {
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const std::string_view path = batch.path(i);
            const std::string_view name = batch.name(i);
            all.add(path.substr(0, path.size() - name.size()), name, !name.empty());
        }
    }
    return all;
}

} // namespace

SearchRequest::SearchRequest(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(window.按钮_立即搜索, &QPushButton::clicked, this, &SearchRequest::startSearch);
    connect(window.按钮_停止搜索, &QPushButton::clicked, this, &SearchRequest::stopSearch);
    // The folder-name search reads exact or fuzzy as it goes.
    m_exact = window.单选框_精确搜索->isChecked();
    connect(window.单选框_精确搜索, &QRadioButton::toggled, this, [this](bool on) { m_exact = on; });
    m_drainTimer.setInterval(kDrainIntervalMs);
    connect(&m_drainTimer, &QTimer::timeout, this, &SearchRequest::drainRows);
}

SearchRequest::~SearchRequest()
{
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

void SearchRequest::setStopCaption(const char *caption)
{
    m_window.按钮_停止搜索->setText(QString::fromUtf8(caption));
    m_stop = isStopRequested();
}

bool SearchRequest::isStopRequested() const
{
    return m_window.按钮_停止搜索->text() == QString::fromUtf8(kStopped);
}

void SearchRequest::stopSearch()
{
    setStopCaption(kStopped);
}

void SearchRequest::stopRunningSearch()
{
    if (!m_worker.joinable())
        return;
    m_stop = true;
    m_worker.join();
    m_drainTimer.stop();
    drainRows();
    m_sink.reset();
    m_window.activity().setSearchRunning(false);
}

void SearchRequest::startSearch()
{
    MainWindow &w = m_window;
    if (w.activity().batchRunning()) {
        // The rows are in use by a batch operation; a search would pull them away.
        QApplication::beep();
        return;
    }
    w.setStatus("请稍后.....");
    if (w.单选框_指定路径->isChecked() && w.超级列表框_路径->rowCount() == 0) {
        w.shell().showMessage("您选择的是按指定路径搜索，请指定搜索路径后再搜索！", "信息：");
        return;
    }
    stopRunningSearch();
    setStopCaption(kGoOn);

    ProcessArrays &arrays = w.arrays();
    arrays.keywordRecords.clear();
    arrays.keywordLines.clear();
    const text::Codeset codeset = text::systemCodeset();
    w.setKeywordText(normaliseKeywordText(w.keywordText(), codeset));
    arrays.keywordLines = keywordLinesOf(w.keywordText(), codeset);
    for (const std::string &line : arrays.keywordLines)
        arrays.keywordRecords.push_back({line});
    if (arrays.keywordLines.empty()) {
        w.shell().showMessage("您没有输入任何要搜索的文件名！请输入后再执行搜索！", "信息：");
        return;
    }

    w.超级列表框1->deleteAllRows();
    arrays.searchRoots.clear();
    if (w.单选框_整个电脑->isChecked()) {
        arrays.searchRoots = everyFixedDisk();
    } else {
        const int rows = w.超级列表框_路径->rowCount();
        for (int row = 0; row < rows; ++row) {
            if (w.超级列表框_路径->isRowChecked(row))
                arrays.searchRoots.push_back(w.超级列表框_路径->cellText(row, 0));
        }
    }

    // Each disk of the whole computer is a root of its own: its walk stays on that disk.
    WalkOptions walk;
    if (w.单选框_整个电脑->isChecked())
        walk.mounts = MountPolicy::StayOnRootMount;
    if (w.选择框_搜索目录->isChecked()) {
        launch(Kind::FolderNames, false, walk);
        w.按钮_未搜索到文件->setEnabled(true);
    } else {
        launch(Kind::FileNames, w.单选框_模糊搜索->isChecked(), walk);
    }
}

void SearchRequest::launch(Kind kind, bool fuzzy, const WalkOptions &walk)
{
    m_kind = kind;
    m_sink = std::make_shared<QueueSink>();
    m_window.setStatus(kind == Kind::FileNames ? "请稍后，正在搜索......" : "正在搜索，请等待......");
    m_window.activity().setSearchRunning(true);
    m_drainTimer.start();

    // The worker gets its own copies, taken here before anything can rebuild the arrays.
    // The file-name search matches the records, the folder-name search the lines as typed.
    std::vector<std::string> keywords;
    if (kind == Kind::FileNames) {
        for (const KeywordRecord &record : m_window.arrays().keywordRecords)
            keywords.push_back(record.text);
    } else {
        keywords = m_window.arrays().keywordLines;
    }
    const std::vector<std::string> roots = m_window.arrays().searchRoots;
    const text::Codeset codeset = text::systemCodeset();
    std::shared_ptr<QueueSink> sink = m_sink;
    m_worker = std::thread([this, kind, fuzzy, keywords, roots, codeset, sink, walk] {
        if (kind == Kind::FileNames)
            searchFileNames(keywords, roots, fuzzy, *sink, m_stop, {}, codeset, walk);
        else
            searchFolderNames(keywords, roots, m_exact, *sink, m_stop, {}, codeset, walk);
        QMetaObject::invokeMethod(
            this,
            [this, sink] {
                if (sink == m_sink)
                    onWorkerDone();
            },
            Qt::QueuedConnection);
    });
}

void SearchRequest::drainRows()
{
    if (!m_sink)
        return;
    std::vector<RowBatch> batches = m_sink->collect();
    if (batches.empty())
        return;
    const RowBatch rows = joined(batches);
    if (m_kind == Kind::FileNames)
        m_window.超级列表框1->rows().prependBatch(rows);
    else
        m_window.超级列表框1->rows().appendBatch(rows);
}

void SearchRequest::onWorkerDone()
{
    if (m_worker.joinable())
        m_worker.join();
    m_drainTimer.stop();
    drainRows();
    m_sink.reset();
    const std::string count = std::to_string(m_window.超级列表框1->rowCount());
    if (m_kind == Kind::FileNames) {
        m_window.setStatus("搜索完毕,共搜索到文件" + count + "个。");
        m_window.按钮_未搜索到文件->setEnabled(true);
    } else {
        m_window.setStatus("搜索完毕！共搜索到文件夹" + count + "个。");
    }
    m_window.activity().setSearchRunning(false);
    emit searchFinished();
}

} // namespace quorvel
