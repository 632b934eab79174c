#include "results/result_actions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPushButton>

#include <sys/stat.h>

#include "app/main_window.h"
#include "app/qt_text.h"

namespace quorvel {

ResultActions::ResultActions(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(window.按钮1, &QPushButton::clicked, this, &ResultActions::checkAllResults);
    connect(window.按钮2, &QPushButton::clicked, this, &ResultActions::uncheckAllResults);
    connect(window.批量勾选选定项目, &QAction::triggered, this, &ResultActions::checkSelectedResults);
    connect(window.打开文件所在位置, &QAction::triggered, this, &ResultActions::openResultFolder);
    connect(window.超级列表框1, &QAbstractItemView::doubleClicked, this, &ResultActions::openResult);
    window.超级列表框1->installEventFilter(this);
}

void ResultActions::checkAllResults()
{
    m_window.超级列表框1->rows().setAllChecked(true);
}

void ResultActions::uncheckAllResults()
{
    m_window.超级列表框1->rows().setAllChecked(false);
}

void ResultActions::checkSelectedResults()
{
    m_window.超级列表框1->rows().setRowsChecked(m_window.超级列表框1->selectedRows(), true);
}

void ResultActions::openResult()
{
    const int row = m_window.超级列表框1->selectedRow();
    if (row < 0)
        return;
    m_window.shell().openPath(m_window.超级列表框1->cellText(row, 0));
}

void ResultActions::openResultFolder()
{
    const int row = m_window.超级列表框1->selectedRow();
    if (row < 0)
        return;
    const std::string path = m_window.超级列表框1->cellText(row, 0);
    struct stat entry {
    };
    if (path.empty() || ::lstat(path.c_str(), &entry) != 0)
        return;
    m_window.shell().showInFolder(path);
}

void ResultActions::toggleSelectedChecks()
{
    CheckListView *list = m_window.超级列表框1;
    const std::vector<int> rows = list->selectedRows();
    if (rows.empty())
        return;
    // The row under the cursor decides, so a mixed selection becomes all one way.
    const int current = list->currentIndex().isValid() ? list->currentIndex().row() : rows.front();
    list->rows().setRowsChecked(rows, !list->isRowChecked(current));
}

void ResultActions::copySelectedPaths()
{
    QStringList lines;
    for (int row : m_window.超级列表框1->selectedRows())
        lines << toDisplay(m_window.超级列表框1->cellText(row, 0));
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

bool ResultActions::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window.超级列表框1 || event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key == nullptr)
        return false;
    if (key->matches(QKeySequence::Copy)) {
        copySelectedPaths();
        return true;
    }
    if (key->modifiers() != Qt::NoModifier && key->modifiers() != Qt::KeypadModifier)
        return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        const QModelIndex current = m_window.超级列表框1->currentIndex();
        if (current.isValid())
            m_window.shell().openPath(m_window.超级列表框1->cellText(current.row(), 0));
        return true;
    }
    if (key->key() == Qt::Key_Space) {
        toggleSelectedChecks();
        return true;
    }
    return false;
}

} // namespace quorvel
