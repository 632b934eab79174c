#pragma once

#include <QObject>

#include <string>
#include <vector>

namespace quorvel {

class MainWindow;

// The search path list 超级列表框_路径: folders come in through the folder chooser or by
// being dropped on the window, and leave through the list's popup menu "菜单". In the folder
// mode the checked rows, top to bottom, are the roots of a search.
class PathList : public QObject
{
    Q_OBJECT

  public:
    explicit PathList(MainWindow &window);

    // Puts the path on top of the list, checked. One trailing "/" is dropped (a path ending
    // in two keeps one), but the root "/" stays "/". The same folder may stand twice.
    void addSearchPathRow(const std::string &path);

    // Makes the whole window take dropped files and folders from now on.
    void enablePathDrop();

    // 按钮_搜索路径: the folder chooser titled "选择目录"; cancel changes nothing.
    void choosePathToAdd();
    // Every dropped item becomes its own row, in the folder mode only.
    void addDroppedPaths(const std::vector<std::string> &paths);

    // The items of the menu "菜单".
    void deleteCurrentPath();
    void deleteAllPaths();
    void checkAllPaths();
    void uncheckAllPaths();

  private:
    MainWindow &m_window;
};

} // namespace quorvel
