#pragma once

#include <QObject>

#include <string>
#include <vector>

namespace quorvel {

class MainWindow;

// 按钮_复制到剪贴板: puts the checked rows' paths, in row order, on the clipboard as a file
// list that file managers paste (the entries themselves, not their names).
class ClipboardList : public QObject
{
    Q_OBJECT

  public:
    explicit ClipboardList(MainWindow &window);

    void copyCheckedToClipboard();

  private:
    MainWindow &m_window;
};

} // namespace quorvel
