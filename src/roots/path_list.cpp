#include "roots/path_list.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>

#include "app/drop_target.h"
#include "app/main_window.h"

namespace quorvel {

PathList::PathList(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(window.按钮_搜索路径, &QPushButton::clicked, this, &PathList::choosePathToAdd);
    connect(window.删除当前路径, &QAction::triggered, this, &PathList::deleteCurrentPath);
    connect(window.删除全部路径, &QAction::triggered, this, &PathList::deleteAllPaths);
    connect(window.路径全部勾选, &QAction::triggered, this, &PathList::checkAllPaths);
    connect(window.路径取消全选, &QAction::triggered, this, &PathList::uncheckAllPaths);
    connect(window.拖放对象, &DropTarget::pathsDropped, this, &PathList::addDroppedPaths);
}

void PathList::addSearchPathRow(const std::string &path)
{
    std::string row = path;
    if (row.size() > 1 && row.back() == '/')
        row.pop_back();
    m_window.超级列表框_路径->insertRow(0, row);
    m_window.超级列表框_路径->setRowChecked(0, true);
}

void PathList::enablePathDrop()
{
    m_window.拖放对象->enable();
}

void PathList::choosePathToAdd()
{
    if (!m_window.按钮_搜索路径->isEnabled())
        return;
    const std::string chosen = m_window.shell().chooseFolder("选择目录");
    if (!chosen.empty())
        addSearchPathRow(chosen);
}

void PathList::addDroppedPaths(const std::vector<std::string> &paths)
{
    if (!m_window.单选框_指定路径->isChecked())
        return;
    for (const std::string &path : paths)
        addSearchPathRow(path);
}

void PathList::deleteCurrentPath()
{
    const int row = m_window.超级列表框_路径->selectedRow();
    if (row >= 0)
        m_window.超级列表框_路径->deleteRow(row);
}

void PathList::deleteAllPaths()
{
    m_window.超级列表框_路径->deleteAllRows();
}

void PathList::checkAllPaths()
{
    m_window.超级列表框_路径->rows().setAllChecked(true);
}

void PathList::uncheckAllPaths()
{
    m_window.超级列表框_路径->rows().setAllChecked(false);
}

} // namespace quorvel
