#include "fileops/batch_operations.h"

#include <QApplication>
#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <set>

#include "app/main_window.h"
#include "fileops/copy_move.h"
#include "fileops/operation_worker.h"
#include "fileops/permanent_delete.h"
#include "fileops/trash.h"

namespace quorvel {

namespace {

struct Texts {
    const char *perRow;
    const char *done;
    const char *noneChosen;
    const char *verb;
};

constexpr Texts kCopyTexts{"正在复制，请稍等...", "复制完毕！", "您没有选择要复制的文件！", "复制"};
constexpr Texts kMoveTexts{"正在移动，请稍等...", "移动完毕！", "您没有选择要移动的文件！", "移动"};
constexpr Texts kDeleteTexts{"正在删除，请稍等...", "删除完毕！", "", "删除"};

// Rows examined per turn of the event loop while looking for the next checked row.
constexpr std::size_t kRowsPerTurn = 20000;
// Failures named one by one in the final message; the rest are counted.
constexpr std::size_t kFailuresListed = 20;

} // namespace

struct BatchOperations::Run {
    Kind kind;
    Texts texts;
    std::string destination;
    std::size_t rowCount = 0;     // rows of the pass, read once at its start
    std::uint64_t topAtStart = 0; // rowsPutOnTop() when the pass began
    std::size_t next = 0;         // next row of the pass to examine
    std::size_t done = 0;         // rows whose operation succeeded
    std::vector<Failure> failures;
    std::vector<std::size_t> deletedRows;                         // pass indices of rows whose entry is gone
    std::vector<std::pair<std::size_t, std::string>> untrashable; // pass index, path
    std::set<std::string> movedHere;                              // entries this move put into the destination
    std::vector<std::pair<std::size_t, std::string>> permanent;   // to delete for good, in order
    std::size_t permanentNext = 0;
};

BatchOperations::BatchOperations(MainWindow &window)
    : QObject(&window), m_window(window), m_worker(std::make_unique<OperationWorker>())
{
    connect(window.按钮3, &QPushButton::clicked, this, &BatchOperations::copySelectedFiles);
    connect(window.按钮5, &QPushButton::clicked, this, &BatchOperations::moveSelectedFiles);
    connect(window.按钮4, &QPushButton::clicked, this, &BatchOperations::deleteSelectedFiles);
}

BatchOperations::~BatchOperations()
{
    m_worker.reset(); // cancels and waits for the operation under way
}

bool BatchOperations::refuseWhileBusy()
{
    if (!m_run)
        return false;
    QApplication::beep();
    return true;
}

void BatchOperations::copySelectedFiles()
{
    if (refuseWhileBusy() || !m_window.按钮3->isEnabled())
        return;
    const std::string chosen = m_window.shell().chooseFolder("请选择");
    if (chosen.empty())
        return;
    start(Kind::Copy, chosen);
}

void BatchOperations::moveSelectedFiles()
{
    if (refuseWhileBusy() || !m_window.按钮5->isEnabled())
        return;
    const std::string chosen = m_window.shell().chooseFolder("请选择");
    if (chosen.empty())
        return;
    start(Kind::Move, chosen);
}

void BatchOperations::deleteSelectedFiles()
{
    if (refuseWhileBusy() || !m_window.按钮4->isEnabled())
        return;
    if (!m_window.shell().askOkCancel("您确定要删除选定的文件吗？请慎重，删除后不可恢复！", "确定删除吗？"))
        return;
    start(Kind::Delete, {});
}

std::string BatchOperations::targetOf(const std::string &path) const
{
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string &folder = m_run->destination;
    return folder + (!folder.empty() && folder.back() == '/' ? "" : "/") + name;
}

std::size_t BatchOperations::currentIndex(std::size_t row) const
{
    return row + static_cast<std::size_t>(m_window.超级列表框1->rows().rows().rowsPutOnTop() - m_run->topAtStart);
}

void BatchOperations::start(Kind kind, const std::string &destination)
{
    m_run = std::make_unique<Run>();
    m_run->kind = kind;
    m_run->texts = kind == Kind::Copy ? kCopyTexts : kind == Kind::Move ? kMoveTexts : kDeleteTexts;
    m_run->destination = destination;
    m_window.activity().setBatchRunning(true);

    const RowStore &rows = m_window.超级列表框1->rows().rows();
    const std::size_t checked = rows.checkedCount();
    m_window.进度条1->setValue(0);
    // An empty range would make the bar run as a busy indicator; it shows an empty bar instead.
    m_window.进度条1->setRange(0, checked > 0 ? static_cast<int>(checked) : 1);
    m_run->rowCount = rows.size();
    m_run->topAtStart = rows.rowsPutOnTop();
    step();
}

void BatchOperations::step()
{
    Run &run = *m_run;
    const RowStore &rows = m_window.超级列表框1->rows().rows();
    std::size_t examined = 0;
    while (run.next < run.rowCount) {
        if (examined++ == kRowsPerTurn) {
            // Let the window breathe on a long list with few checked rows.
            QTimer::singleShot(0, this, &BatchOperations::step);
            return;
        }
        const std::size_t row = run.next++;
        m_window.setStatus(run.texts.perRow);
        const std::size_t index = currentIndex(row);
        if (index >= rows.size() || !rows.isChecked(index))
            continue;
        const std::string path(rows.cell(index, 0));
        // The rename option is read afresh for every entry.
        const ClashMode mode = m_window.选择框1->isChecked() ? ClashMode::Rename : ClashMode::Replace;
        if (run.kind == Kind::Move && mode == ClashMode::Replace && run.movedHere.count(targetOf(path))) {
            // Replacing an entry this same move brought here would destroy it for good.
            run.failures.push_back({path, "目标文件夹中的同名项目是本次刚移入的，没有替换它"});
            m_window.进度条1->setValue(m_window.进度条1->value() + 1);
            continue;
        }
        const Kind kind = run.kind;
        const std::string destination = run.destination;
        m_worker->submit(
            [kind, path, destination, mode](const OperationControl &control) {
                switch (kind) {
                case Kind::Copy:
                    return copyEntry(path, destination, mode, control);
                case Kind::Move:
                    return moveEntry(path, destination, mode, control);
                case Kind::Delete:
                    break;
                }
                return moveToTrash(path);
            },
            this, [this, row, path](const FileOpResult &result) { handleResult(row, path, result); });
        return;
    }
    if (run.kind == Kind::Delete)
        offerPermanentDelete();
    else
        finish();
}

void BatchOperations::handleResult(std::size_t row, const std::string &path, const FileOpResult &result)
{
    if (!m_run)
        return;
    Run &run = *m_run;
    if (result.ok()) {
        ++run.done;
        if (run.kind == Kind::Delete)
            run.deletedRows.push_back(row);
        else if (run.kind == Kind::Move)
            run.movedHere.insert(result.target);
    } else if (result.status == FileOpStatus::CannotTrash) {
        run.untrashable.emplace_back(row, path);
    } else {
        run.failures.push_back({path, result.reason});
    }
    // Copy and move advance the bar per entry; the delete advances it as rows leave.
    if (run.kind != Kind::Delete)
        m_window.进度条1->setValue(m_window.进度条1->value() + 1);
    step();
}

void BatchOperations::offerPermanentDelete()
{
    Run &run = *m_run;
    if (run.untrashable.empty()) {
        finishDelete();
        return;
    }
    std::string question = std::to_string(run.untrashable.size()) +
                           "个项目无法移到回收站（所在的磁盘没有可用的回收站）。要永久删除它们吗？删除后不可恢复！\n";
    for (std::size_t i = 0; i < run.untrashable.size() && i < kFailuresListed; ++i)
        question += "\n" + run.untrashable[i].second;
    if (run.untrashable.size() > kFailuresListed)
        question += "\n……";
    if (!m_window.shell().askOkCancel(question, "确定删除吗？")) {
        for (const auto &[row, path] : run.untrashable)
            run.failures.push_back({path, "无法移到回收站，未永久删除"});
        run.untrashable.clear();
        finishDelete();
        return;
    }
    // One at a time, in row order, like the pass.
    run.permanent = std::move(run.untrashable);
    run.untrashable.clear();
    deleteNextPermanently();
}

void BatchOperations::deleteNextPermanently()
{
    Run &run = *m_run;
    if (run.permanentNext == run.permanent.size()) {
        std::sort(run.deletedRows.begin(), run.deletedRows.end());
        finishDelete();
        return;
    }
    const std::size_t row = run.permanent[run.permanentNext].first;
    const std::string path = run.permanent[run.permanentNext].second;
    ++run.permanentNext;
    m_worker->submit([path](const OperationControl &) { return deletePermanently(path); }, this,
                     [this, row, path](const FileOpResult &result) {
                         if (!m_run)
                             return;
                         if (result.ok()) {
                             ++m_run->done;
                             m_run->deletedRows.push_back(row);
                         } else {
                             m_run->failures.push_back({path, result.reason});
                         }
                         deleteNextPermanently();
                     });
}

void BatchOperations::finishDelete()
{
    Run &run = *m_run;
    // The rows whose entries are gone leave the list; failed rows stay.
    std::vector<std::size_t> current;
    current.reserve(run.deletedRows.size());
    for (std::size_t row : run.deletedRows)
        current.push_back(currentIndex(row));
    m_window.超级列表框1->rows().removeRowsAt(current);
    m_window.进度条1->setValue(static_cast<int>(current.size()));
    finish();
}

void BatchOperations::finish()
{
    std::unique_ptr<Run> run = std::move(m_run);
    m_window.activity().setBatchRunning(false);
    const Texts &texts = run->texts;
    if (run->failures.empty()) {
        if (run->done > 0)
            m_window.setStatus(texts.done);
        else if (run->kind == Kind::Delete)
            m_window.shell().showMessage("您没有选择任何文件！", "信息：");
        else
            m_window.setStatus(texts.noneChosen);
        emit batchFinished();
        return;
    }
    const std::string failed = std::to_string(run->failures.size());
    m_window.setStatus(std::string(texts.verb) + "完毕，其中" + failed + "个失败！");
    std::string message = failed + "个项目" + texts.verb + "失败：\n";
    for (std::size_t i = 0; i < run->failures.size() && i < kFailuresListed; ++i)
        message += "\n" + run->failures[i].path + "\n    " + run->failures[i].reason;
    if (run->failures.size() > kFailuresListed)
        message += "\n\n……另有" + std::to_string(run->failures.size() - kFailuresListed) + "个";
    m_window.shell().showMessage(message, "信息：");
    emit batchFinished();
}

} // namespace quorvel
