#include <QAction>
#include <QClipboard>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "results/result_actions.h"
#include "support/window_fixture.h"

namespace quorvel::testing {
namespace {

class ResultActionsTest : public WindowTest
{
  protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        makeTree(files.path(), {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"});
        for (const char *name : {"e.txt", "d.txt", "c.txt", "b.txt", "a.txt"}) {
            const int row = list()->insertRow(0, files / name);
            list()->setCellText(row, 1, name);
        }
    }
    CheckListView *list() { return window->超级列表框1; }
    void select(int row)
    {
        list()->selectionModel()->select(list()->rows().index(row, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    std::vector<bool> checks()
    {
        std::vector<bool> out;
        for (int r = 0; r < list()->rowCount(); ++r)
            out.push_back(list()->isRowChecked(r));
        return out;
    }

    TempDir files;
};

using Marks = std::vector<bool>;

TEST_F(ResultActionsTest, CheckSelectedAddsToTheMarksAndKeepsTheSelection)
{
    select(1);
    select(3);
    list()->setRowChecked(2, true);
    window->批量勾选选定项目->trigger();
    EXPECT_EQ(checks(), (Marks{false, true, true, true, false}));
    EXPECT_TRUE(list()->isRowSelected(1));
    EXPECT_TRUE(list()->isRowSelected(3));

    window->按钮1->click();
    EXPECT_EQ(checks(), Marks(5, true));
    window->按钮2->click();
    EXPECT_EQ(checks(), Marks(5, false));
}

TEST_F(ResultActionsTest, OpeningUsesTheFirstSelectedRow)
{
    window->resultActions->openResult();
    EXPECT_TRUE(shell.opened.empty());
    // A double click opens the row it selects.
    const QRect rect = list()->visualRect(list()->rows().index(2, 1));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(shell.opened, std::vector<std::string>{files / "c.txt"});
    // With several rows selected, the lowest one.
    list()->selectionModel()->clearSelection();
    select(3);
    select(1);
    window->resultActions->openResult();
    EXPECT_EQ(shell.opened.back(), files / "b.txt");
}

TEST_F(ResultActionsTest, ShowInFolderIsSilentForMissingEntriesAndNoSelection)
{
    window->打开文件所在位置->trigger();
    EXPECT_TRUE(shell.shownInFolder.empty());
    select(4);
    std::filesystem::remove(files / "e.txt");
    window->打开文件所在位置->trigger();
    EXPECT_TRUE(shell.shownInFolder.empty());
    list()->selectionModel()->clearSelection();
    select(0);
    window->打开文件所在位置->trigger();
    EXPECT_EQ(shell.shownInFolder, std::vector<std::string>{files / "a.txt"});
}

TEST_F(ResultActionsTest, KeyboardOpensTogglesAndCopies)
{
    list()->setFocus();
    list()->setCurrentIndex(list()->rows().index(1, 0));
    select(2);
    QTest::keyClick(list(), Qt::Key_Space);
    EXPECT_EQ(checks(), (Marks{false, true, true, false, false}));
    QTest::keyClick(list(), Qt::Key_Space);
    EXPECT_EQ(checks(), Marks(5, false));

    QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QString::fromStdString(files / "b.txt") + "\n" + QString::fromStdString(files / "c.txt"));

    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_EQ(shell.opened, std::vector<std::string>{files / "b.txt"});
}

} // namespace
} // namespace quorvel::testing
