#include "app/main_window.h"

#include <QAccessible>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>

#include "app/drop_target.h"
#include "fileops/batch_operations.h"
#include "fileops/clipboard_list.h"
#include "app/option_settings.h"
#include "app/qt_text.h"
#include "app/saved_state.h"
#include "results/column_sort.h"
#include "results/result_actions.h"
#include "roots/path_list.h"
#include "search/not_found_action.h"
#include "search/search_request.h"
#include "text/characters.h"

namespace quorvel {
namespace {

template <typename Control>
Control *place(Control *control, const char *identifier, int x, int y, int width, int height)
{
    control->setObjectName(QString::fromUtf8(identifier));
    control->setGeometry(x, y, width, height);
    return control;
}

QString caption(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The keyword box shows one line per line; the engine's texts end lines in CR LF.
QString withoutCarriageReturns(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

const char *const MainWindow::kHintText = "请在这里输入要搜索的文件名关键字，例如：\r\n"
                                          "201806151230450001.jpg\r\n"
                                          "201806151230450002.jpg\r\n"
                                          "201806151230450003.jpg\r\n"
                                          "201907021845120004.jpg\r\n"
                                          "201907021845120005.jpg\r\n"
                                          "202001010800000006.jpg";

MainWindow::MainWindow(ShellServices &shell, ProcessArrays &arrays, QWidget *parent)
    : QWidget(parent), m_shell(shell), m_arrays(arrays)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("QuorvelV5.3"));
    resize(kWidth, kHeight);
    buildControls();
    buildMenus();
    attachTooltips();
    describeForAccessibility();
    pathList = new PathList(*this);
    savedState = new SavedState(*this);
    optionSettings = new OptionSettings(*this, *savedState);
    searchRequest = new SearchRequest(*this);
    notFoundAction = new NotFoundAction(*this);
    resultActions = new ResultActions(*this);
    columnSort = new ColumnSort(*this);
    batchOperations = new BatchOperations(*this);
    clipboardList = new ClipboardList(*this);
    m_built = true;
    onCreated();
}

MainWindow::~MainWindow()
{
    // The handlers go first, while every control they watch is whole: a batch or a search
    // under way is cancelled and waited for, and no filter sees the controls' last events.
    delete batchOperations;
    delete searchRequest;
    delete clipboardList;
    delete columnSort;
    delete resultActions;
    delete notFoundAction;
    delete optionSettings;
    delete savedState;
    delete pathList;
}

void MainWindow::buildControls()
{
    标签2 = place(new QLabel(caption("搜索路径"), this), "标签2", 6, 4, 51, 30);
    按钮_搜索路径 = place(new QPushButton(caption("添加搜索路径"), this), "按钮_搜索路径", 69, 4, 163, 30);
    拖放对象 = new DropTarget(this);

    外形框1 = place(new QGroupBox(this), "外形框1", 306, 2, 543, 32);
    单选框_指定路径 = place(new QRadioButton(caption("搜索指定路径(快速)"), 外形框1), "单选框_指定路径", 6, 5, 145, 24);
    单选框_整个电脑 =
        place(new QRadioButton(caption("搜索整个电脑(速度较慢)"), 外形框1), "单选框_整个电脑", 155, 5, 160, 24);
    单选框_指定路径->setChecked(true);

    按钮_复制到剪贴板 =
        place(new QPushButton(caption("一键复制勾选文件到剪贴板"), this), "按钮_复制到剪贴板", 651, 4, 197, 30);

    超级列表框_路径 = place(new CheckListView({caption("路径")}, {260}, this), "超级列表框_路径", 2, 41, 302, 79);

    外形框2 = place(new QGroupBox(this), "外形框2", 306, 41, 543, 79);
    选择框_搜索目录 = place(new QCheckBox(caption("只搜目录名"), 外形框2), "选择框_搜索目录", 6, 8, 85, 16);
    选择框_保存关键字 = place(new QCheckBox(caption("保存关键字"), 外形框2), "选择框_保存关键字", 206, 8, 82, 16);
    选择框1 =
        place(new QCheckBox(caption("复制或移动时遇到同名文件自动改名另存"), 外形框2), "选择框1", 296, 8, 240, 16);
    单选框_精确搜索 =
        place(new QRadioButton(caption("精确搜索(要搜索的文件名需要填写完整准确，一行一个文件名)"), 外形框2),
              "单选框_精确搜索", 6, 30, 487, 16);
    单选框_模糊搜索 = place(
        new QRadioButton(
            caption("模糊搜索(只填写文件名的任意关键字，即可搜索出所有包含这关键字的文件，一行一个关键字)"), 外形框2),
        "单选框_模糊搜索", 6, 52, 529, 16);
    单选框_精确搜索->setChecked(true);
    // A window child, not the frame's, lying over the frame between its first two boxes.
    选择框_保存路径 = place(new QCheckBox(caption("保存搜索路径"), this), "选择框_保存路径", 403, 48, 96, 16);

    编辑框_文件名 = place(new QPlainTextEdit(this), "编辑框_文件名", 2, 120, 302, 336);
    编辑框_文件名->setLineWrapMode(QPlainTextEdit::NoWrap);
    编辑框_文件名->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    编辑框_文件名->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    编辑框_文件名->installEventFilter(this);

    透明标签1 = place(new QLabel(withoutCarriageReturns(caption(kHintText)), this), "透明标签1", 11, 128, 269, 312);
    透明标签1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    透明标签1->setWordWrap(true);
    透明标签1->setAutoFillBackground(false);
    透明标签1->setAttribute(Qt::WA_TranslucentBackground);
    透明标签1->setStyleSheet(QStringLiteral("color: gray; background: transparent;"));
    透明标签1->installEventFilter(this);

    超级列表框1 = place(new CheckListView({caption("文件路径"), caption("文件名")}, {450, 100}, this), "超级列表框1",
                        306, 120, 543, 320);
    超级列表框1->setDragEnabled(true);
    超级列表框1->setDragDropMode(QAbstractItemView::DragOnly);

    进度条1 = place(new QProgressBar(this), "进度条1", 306, 440, 544, 16);
    进度条1->setRange(0, 100);
    进度条1->setValue(0);
    进度条1->setTextVisible(false);

    按钮_立即搜索 = place(new QPushButton(caption("立即搜索"), this), "按钮_立即搜索", 6, 464, 66, 30);
    按钮_未搜索到文件 =
        place(new QPushButton(caption("未搜到的文件列表"), this), "按钮_未搜索到文件", 76, 464, 110, 30);
    按钮_未搜索到文件->setEnabled(false);
    按钮_停止搜索 = place(new QPushButton(caption("停止搜索"), this), "按钮_停止搜索", 189, 464, 81, 30);
    选择框3 = place(new QCheckBox(caption("选择框"), this), "选择框3", 280, 472, 32, 16);
    选择框3->setChecked(true);
    选择框3->setVisible(false);
    按钮1 = place(new QPushButton(caption("全部勾选"), this), "按钮1", 312, 464, 64, 32);
    按钮2 = place(new QPushButton(caption("取消全部勾选"), this), "按钮2", 392, 464, 84, 32);
    按钮3 = place(new QPushButton(caption("复制选定文件"), this), "按钮3", 492, 464, 82, 32);
    按钮5 = place(new QPushButton(caption("移动选定文件"), this), "按钮5", 590, 464, 80, 32);
    按钮4 = place(new QPushButton(caption("删除选定文件"), this), "按钮4", 686, 464, 85, 32);
    标签_状态 = place(new QLabel(this), "标签_状态", 8, 496, 424, 16);

    // The hint lies over the keyword box.
    透明标签1->raise();
}

void MainWindow::buildMenus()
{
    auto item = [](QMenu *menu, const char *text, const char *name) {
        QAction *action = menu->addAction(caption(text));
        action->setObjectName(QString::fromUtf8(name));
        return action;
    };
    菜单 = new QMenu(caption("菜单"), this);
    菜单->setObjectName(QStringLiteral("菜单"));
    删除当前路径 = item(菜单, "删除当前路径", "删除当前路径");
    删除全部路径 = item(菜单, "删除全部路径", "删除全部路径");
    路径全部勾选 = item(菜单, "全部勾选", "路径全部勾选");
    路径取消全选 = item(菜单, "取消全选", "路径取消全选");
    connect(超级列表框_路径, &CheckListView::rightButtonPressed, 菜单, [this](const QPoint &at) { 菜单->popup(at); });

    定位 = new QMenu(caption("定位"), this);
    定位->setObjectName(QStringLiteral("定位"));
    打开文件所在位置 = item(定位, "打开文件所在位置", "打开文件所在位置");
    批量勾选选定项目 = item(定位, "批量勾选选定项目", "批量勾选选定项目");
    移动按钮开关 = item(定位, "禁用移动按钮", "移动按钮开关");
    删除按钮开关 = item(定位, "禁用删除按钮", "删除按钮开关");
    connect(超级列表框1, &CheckListView::rightButtonPressed, 定位, [this](const QPoint &at) { 定位->popup(at); });
}

void MainWindow::attachTooltips()
{
    选择框_搜索目录->setToolTip(caption("请注意：勾选此选项，只搜索文件夹名称，不搜索文件。"));
    选择框_保存路径->setToolTip(caption("勾选此选项，下次运行程序时自动载入保存的待搜索文件夹。"));
    按钮_复制到剪贴板->setToolTip(caption("一键复制勾选的文件列表，可以直接Ctrl+V粘贴到目标文件夹。"));
    选择框_保存关键字->setToolTip(caption("勾选后，会保存待搜索的文件名，下次运行时自动载入。"));
}

void MainWindow::describeForAccessibility()
{
    // Screen readers and automation tools tell the controls apart by their descriptions.
    for (QWidget *control : findChildren<QWidget *>()) {
        if (!control->objectName().isEmpty() && !control->objectName().startsWith(QLatin1String("qt_")))
            control->setAccessibleDescription(control->objectName());
    }
    编辑框_文件名->setAccessibleName(caption("要搜索的文件名关键字，一行一个"));
    超级列表框_路径->setAccessibleName(caption("搜索路径列表"));
    超级列表框1->setAccessibleName(caption("搜索结果列表"));
    进度条1->setAccessibleName(caption("操作进度"));
    标签_状态->setAccessibleName(caption("状态"));
    外形框1->setAccessibleName(caption("搜索范围"));
    外形框2->setAccessibleName(caption("搜索选项"));
}

void MainWindow::onCreated()
{
    pathList->enablePathDrop();
    optionSettings->restoreOptions();
}

std::string MainWindow::keywordText() const
{
    QString text = 编辑框_文件名->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return fromDisplay(text);
}

void MainWindow::setKeywordText(const std::string &text)
{
    编辑框_文件名->setPlainText(withoutCarriageReturns(toDisplay(text)));
    编辑框_文件名->moveCursor(QTextCursor::End);
}

void MainWindow::setStatus(const std::string &text)
{
    标签_状态->setText(toDisplay(text));
}

std::string MainWindow::status() const
{
    return fromDisplay(标签_状态->text());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closed) {
        m_closed = true;
        savedState->saveKeywordsAndPaths();
    }
    event->accept();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_built)
        return;
    // The result list and the keyword box take the room beyond the starting size.
    const int dx = std::max(0, width() - kWidth);
    const int dy = std::max(0, height() - kHeight);
    编辑框_文件名->setGeometry(2, 120, 302, 336 + dy);
    超级列表框1->setGeometry(306, 120, 543 + dx, 320 + dy);
    进度条1->setGeometry(306, 440 + dy, 544 + dx, 16);
    for (QWidget *bottom :
         {static_cast<QWidget *>(按钮_立即搜索), static_cast<QWidget *>(按钮_未搜索到文件),
          static_cast<QWidget *>(按钮_停止搜索), static_cast<QWidget *>(选择框3), static_cast<QWidget *>(按钮1),
          static_cast<QWidget *>(按钮2), static_cast<QWidget *>(按钮3), static_cast<QWidget *>(按钮5),
          static_cast<QWidget *>(按钮4), static_cast<QWidget *>(标签_状态)}) {
        const int baseY = bottom->property("baseY").isValid() ? bottom->property("baseY").toInt() : bottom->y();
        bottom->setProperty("baseY", baseY);
        bottom->move(bottom->x(), baseY + dy);
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == 透明标签1 && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        透明标签1->hide();
        编辑框_文件名->setFocus(Qt::MouseFocusReason);
        return true;
    }
    if (watched == 编辑框_文件名 && event->type() == QEvent::FocusOut && 编辑框_文件名->toPlainText().isEmpty())
        透明标签1->show();
    return QWidget::eventFilter(watched, event);
}

} // namespace quorvel
