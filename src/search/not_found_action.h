#pragma once

#include <QObject>

namespace quorvel {

class MainWindow;

// 按钮_未搜索到文件: writes every keyword line that no result row's name contains into
// "未搜到文件列表.txt" in the program's folder, judged on the keyword box and the result list
// as they stand at the click, then opens the file with its default application.
class NotFoundAction : public QObject
{
    Q_OBJECT

  public:
    explicit NotFoundAction(MainWindow &window);

    void writeNotFoundReport();

  private:
    MainWindow &m_window;
};

} // namespace quorvel
