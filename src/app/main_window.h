#pragma once

#include <QWidget>

#include <string>

#include "app/activity.h"
#include "app/check_list_view.h"
#include "app/process_arrays.h"
#include "app/shell_services.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace quorvel {

class BatchOperations;
class ClipboardList;
class ColumnSort;
class DropTarget;
class NotFoundAction;
class OptionSettings;
class PathList;
class ResultActions;
class SavedState;
class SearchRequest;

// The main window: every control at its place, with its identifier as member name and Qt
// object name, the two popup menus, the hint over the keyword box and the tooltips. The
// handlers of each subsystem live in their own classes, which the window creates and which
// reach the controls through it.
class MainWindow : public QWidget
{
    Q_OBJECT

  public:
    static constexpr int kWidth = 859;
    static constexpr int kHeight = 543;

    MainWindow(ShellServices &shell, ProcessArrays &arrays, QWidget *parent = nullptr);
    ~MainWindow() override;

    ShellServices &shell() { return m_shell; }
    ProcessArrays &arrays() { return m_arrays; }
    Activity &activity() { return m_activity; }

    // The keyword box's text as engine bytes, lines ended by CR LF; and the reverse.
    std::string keywordText() const;
    void setKeywordText(const std::string &text);
    // The caption of the status line 标签_状态.
    void setStatus(const std::string &text);
    std::string status() const;

    // Controls, named by their identifiers.
    QLabel *标签2;
    QPushButton *按钮_搜索路径;
    DropTarget *拖放对象;
    QGroupBox *外形框1;
    QRadioButton *单选框_指定路径;
    QRadioButton *单选框_整个电脑;
    QPushButton *按钮_复制到剪贴板;
    CheckListView *超级列表框_路径;
    QGroupBox *外形框2;
    QCheckBox *选择框_搜索目录;
    QCheckBox *选择框_保存路径;
    QCheckBox *选择框_保存关键字;
    QCheckBox *选择框1;
    QRadioButton *单选框_精确搜索;
    QRadioButton *单选框_模糊搜索;
    QPlainTextEdit *编辑框_文件名;
    QLabel *透明标签1;
    CheckListView *超级列表框1;
    QProgressBar *进度条1;
    QPushButton *按钮_立即搜索;
    QPushButton *按钮_未搜索到文件;
    QPushButton *按钮_停止搜索;
    QCheckBox *选择框3;
    QPushButton *按钮1;
    QPushButton *按钮2;
    QPushButton *按钮3;
    QPushButton *按钮5;
    QPushButton *按钮4;
    QLabel *标签_状态;

    // The popup menu "菜单" of the search path list and its items, in order.
    QMenu *菜单;
    QAction *删除当前路径;
    QAction *删除全部路径;
    QAction *路径全部勾选;
    QAction *路径取消全选;
    // The popup menu "定位" of the result list and its items, in order.
    QMenu *定位;
    QAction *打开文件所在位置;
    QAction *批量勾选选定项目;
    QAction *移动按钮开关;
    QAction *删除按钮开关;

    static const char *const kHintText;

    // The handlers of the subsystems, created with the window.
    PathList *pathList = nullptr;
    SavedState *savedState = nullptr;
    OptionSettings *optionSettings = nullptr;
    SearchRequest *searchRequest = nullptr;
    NotFoundAction *notFoundAction = nullptr;
    ResultActions *resultActions = nullptr;
    ColumnSort *columnSort = nullptr;
    BatchOperations *batchOperations = nullptr;
    ClipboardList *clipboardList = nullptr;

  protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void buildControls();
    void buildMenus();
    void attachTooltips();
    void describeForAccessibility();
    void onCreated();

    ShellServices &m_shell;
    ProcessArrays &m_arrays;
    Activity m_activity;
    bool m_closed = false;
    bool m_built = false;
};

} // namespace quorvel
