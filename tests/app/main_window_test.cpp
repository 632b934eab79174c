#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/window_fixture.h"

namespace quorvel::testing {
namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, OpensWithCaptionAndSize)
{
    EXPECT_EQ(window->windowTitle(), u("QuorvelV5.3"));
    EXPECT_EQ(window->size(), QSize(859, 543));
}

struct ControlCase {
    const char *identifier;
    const char *caption; // nullptr: not a captioned control
    QRect place;
    const char *parent; // identifier of the frame, or nullptr for the window
};

TEST_F(MainWindowTest, EveryControlHasItsCaptionPlaceAndIdentifier)
{
    const ControlCase cases[] = {
        {"标签2", "搜索路径", {6, 4, 51, 30}, nullptr},
        {"按钮_搜索路径", "添加搜索路径", {69, 4, 163, 30}, nullptr},
        {"外形框1", nullptr, {306, 2, 543, 32}, nullptr},
        {"单选框_指定路径", "搜索指定路径(快速)", {6, 5, 145, 24}, "外形框1"},
        {"单选框_整个电脑", "搜索整个电脑(速度较慢)", {155, 5, 160, 24}, "外形框1"},
        {"按钮_复制到剪贴板", "一键复制勾选文件到剪贴板", {651, 4, 197, 30}, nullptr},
        {"超级列表框_路径", nullptr, {2, 41, 302, 79}, nullptr},
        {"外形框2", nullptr, {306, 41, 543, 79}, nullptr},
        {"选择框_搜索目录", "只搜目录名", {6, 8, 85, 16}, "外形框2"},
        {"选择框_保存路径", "保存搜索路径", {403, 48, 96, 16}, nullptr},
        {"选择框_保存关键字", "保存关键字", {206, 8, 82, 16}, "外形框2"},
        {"选择框1", "复制或移动时遇到同名文件自动改名另存", {296, 8, 240, 16}, "外形框2"},
        {"单选框_精确搜索", "精确搜索(要搜索的文件名需要填写完整准确，一行一个文件名)", {6, 30, 487, 16}, "外形框2"},
        {"单选框_模糊搜索",
         "模糊搜索(只填写文件名的任意关键字，即可搜索出所有包含这关键字的文件，一行一个关键字)",
         {6, 52, 529, 16},
         "外形框2"},
        {"编辑框_文件名", nullptr, {2, 120, 302, 336}, nullptr},
        {"透明标签1", nullptr, {11, 128, 269, 312}, nullptr},
        {"超级列表框1", nullptr, {306, 120, 543, 320}, nullptr},
        {"进度条1", nullptr, {306, 440, 544, 16}, nullptr},
        {"按钮_立即搜索", "立即搜索", {6, 464, 66, 30}, nullptr},
        {"按钮_未搜索到文件", "未搜到的文件列表", {76, 464, 110, 30}, nullptr},
        {"按钮_停止搜索", "停止搜索", {189, 464, 81, 30}, nullptr},
        {"选择框3", "选择框", {280, 472, 32, 16}, nullptr},
        {"按钮1", "全部勾选", {312, 464, 64, 32}, nullptr},
        {"按钮2", "取消全部勾选", {392, 464, 84, 32}, nullptr},
        {"按钮3", "复制选定文件", {492, 464, 82, 32}, nullptr},
        {"按钮5", "移动选定文件", {590, 464, 80, 32}, nullptr},
        {"按钮4", "删除选定文件", {686, 464, 85, 32}, nullptr},
        {"标签_状态", "", {8, 496, 424, 16}, nullptr},
    };
    for (const ControlCase &c : cases) {
        SCOPED_TRACE(c.identifier);
        auto *control = window->findChild<QWidget *>(u(c.identifier));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), c.place);
        EXPECT_EQ(control->parentWidget()->objectName(), c.parent ? u(c.parent) : u("MainWindow"));
        EXPECT_EQ(control->accessibleDescription(), u(c.identifier));
        if (!c.caption)
            continue;
        if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            EXPECT_EQ(button->text(), u(c.caption));
        } else if (auto *label = qobject_cast<QLabel *>(control)) {
            EXPECT_EQ(label->text(), u(c.caption));
        }
    }
    // The controls without a caption still have a name for screen readers.
    for (QWidget *control :
         {static_cast<QWidget *>(window->编辑框_文件名), static_cast<QWidget *>(window->超级列表框_路径),
          static_cast<QWidget *>(window->超级列表框1), static_cast<QWidget *>(window->进度条1),
          static_cast<QWidget *>(window->标签_状态)})
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
}

TEST_F(MainWindowTest, FirstRunState)
{
    EXPECT_TRUE(window->单选框_指定路径->isChecked());
    EXPECT_FALSE(window->单选框_整个电脑->isChecked());
    EXPECT_TRUE(window->单选框_精确搜索->isChecked());
    EXPECT_FALSE(window->单选框_模糊搜索->isChecked());
    for (QCheckBox *box :
         {window->选择框_搜索目录, window->选择框_保存路径, window->选择框_保存关键字, window->选择框1})
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_TRUE(window->选择框3->isChecked());
    EXPECT_TRUE(window->选择框3->isHidden());
    EXPECT_TRUE(window->按钮_搜索路径->isEnabled());
    EXPECT_FALSE(window->按钮_未搜索到文件->isEnabled());
    EXPECT_TRUE(window->按钮4->isEnabled());
    EXPECT_TRUE(window->按钮5->isEnabled());
    EXPECT_EQ(window->超级列表框_路径->rowCount(), 0);
    EXPECT_EQ(window->超级列表框1->rowCount(), 0);
    EXPECT_TRUE(window->透明标签1->isVisible());
    EXPECT_TRUE(window->透明标签1->text().startsWith(u("请在这里输入要搜索的文件名关键字，例如：")));
    EXPECT_EQ(window->超级列表框1->columnCount(), 2);
    EXPECT_EQ(window->超级列表框1->model()->headerData(0, Qt::Horizontal).toString(), u("文件路径"));
    EXPECT_EQ(window->超级列表框1->model()->headerData(1, Qt::Horizontal).toString(), u("文件名"));
    EXPECT_EQ(window->超级列表框1->columnWidth(0), 450);
    EXPECT_EQ(window->超级列表框1->columnWidth(1), 100);
    EXPECT_EQ(window->超级列表框_路径->model()->headerData(0, Qt::Horizontal).toString(), u("路径"));
    EXPECT_EQ(window->超级列表框_路径->columnWidth(0), 260);
    // The two frames each make one group of their radio buttons.
    window->单选框_模糊搜索->click();
    EXPECT_FALSE(window->单选框_精确搜索->isChecked());
    EXPECT_TRUE(window->单选框_指定路径->isChecked());
}

TEST_F(MainWindowTest, HintHidesOnClickAndReturnsOnlyWhenTheBoxLosesFocusExactlyEmpty)
{
    QLabel *hint = window->透明标签1;
    QPlainTextEdit *box = window->编辑框_文件名;
    // Typing does not hide it.
    box->setFocus();
    QTest::keyClicks(box, "a");
    EXPECT_TRUE(hint->isVisible());
    box->clear();

    QTest::mouseClick(hint, Qt::LeftButton);
    EXPECT_FALSE(hint->isVisible());
    // Losing focus with an empty box shows it again.
    window->按钮_立即搜索->setFocus();
    QApplication::setActiveWindow(window.get());
    box->setFocus();
    QCoreApplication::processEvents();
    window->按钮1->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(hint->isVisible());

    // A box holding only a line break keeps it hidden.
    QTest::mouseClick(hint, Qt::LeftButton);
    box->setPlainText(u("\n"));
    box->setFocus();
    QCoreApplication::processEvents();
    window->按钮1->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(hint->isVisible());
}

TEST_F(MainWindowTest, TooltipsCarryTheirTexts)
{
    EXPECT_EQ(window->选择框_搜索目录->toolTip(), u("请注意：勾选此选项，只搜索文件夹名称，不搜索文件。"));
    EXPECT_EQ(window->选择框_保存路径->toolTip(), u("勾选此选项，下次运行程序时自动载入保存的待搜索文件夹。"));
    EXPECT_EQ(window->按钮_复制到剪贴板->toolTip(), u("一键复制勾选的文件列表，可以直接Ctrl+V粘贴到目标文件夹。"));
    EXPECT_EQ(window->选择框_保存关键字->toolTip(), u("勾选后，会保存待搜索的文件名，下次运行时自动载入。"));
}

TEST_F(MainWindowTest, RightButtonOpensEachListsMenuAlsoWithoutRows)
{
    struct {
        CheckListView *list;
        QMenu *menu;
        QStringList items;
    } cases[] = {
        {window->超级列表框_路径, window->菜单, {u("删除当前路径"), u("删除全部路径"), u("全部勾选"), u("取消全选")}},
        {window->超级列表框1,
         window->定位,
         {u("打开文件所在位置"), u("批量勾选选定项目"), u("禁用移动按钮"), u("禁用删除按钮")}},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.menu->title().toStdString());
        QStringList items;
        for (QAction *action : c.menu->actions())
            items << action->text();
        EXPECT_EQ(items, c.items);
        ASSERT_EQ(c.list->rowCount(), 0);
        QTest::mousePress(c.list->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        EXPECT_TRUE(waitUntil([&] { return c.menu->isVisible(); }, 2000));
        c.menu->hide();
    }
}

} // namespace
} // namespace quorvel::testing
