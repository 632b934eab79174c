#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/qt_text.h"
#include "roots/path_list.h"
#include "support/window_fixture.h"

namespace quorvel::testing {
namespace {

class PathListTest : public WindowTest
{
  protected:
    std::vector<std::string> paths()
    {
        std::vector<std::string> out;
        for (int r = 0; r < list()->rowCount(); ++r)
            out.push_back(list()->cellText(r, 0));
        return out;
    }
    CheckListView *list() { return window->超级列表框_路径; }

    // Drops file URLs on a point of the window, as a file manager does.
    void drop(const std::vector<std::string> &dropped, QWidget *on)
    {
        QMimeData mime;
        QList<QUrl> urls;
        for (const std::string &path : dropped)
            urls << fileUrlOf(path);
        mime.setUrls(urls);
        const QPointF at(5, 5);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(on, &enter);
        QDropEvent dropEvent(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(on, &dropEvent);
    }
};

using Texts = std::vector<std::string>;

TEST_F(PathListTest, AddedRowsGoOnTopCheckedWithOneTrailingSlashDropped)
{
    for (const char *path : {"/data/", "/data//", "/", "relative/dir", "/data/"})
        window->pathList->addSearchPathRow(path);
    EXPECT_EQ(paths(), (Texts{"/data", "relative/dir", "/", "/data/", "/data"}));
    for (int r = 0; r < list()->rowCount(); ++r)
        EXPECT_TRUE(list()->isRowChecked(r));
}

TEST_F(PathListTest, ChooserAddsTheChosenFolderAndCancelChangesNothing)
{
    window->按钮_搜索路径->click();
    EXPECT_EQ(shell.folderTitles, Texts{"选择目录"});
    EXPECT_EQ(list()->rowCount(), 0);
    shell.folderAnswers.push_back("/home/user/照片/");
    window->按钮_搜索路径->click();
    EXPECT_EQ(paths(), Texts{"/home/user/照片"});
}

TEST_F(PathListTest, DroppedItemsBecomeRowsOnlyInTheFolderMode)
{
    const std::string odd = "/tmp/odd\xFFname";
    drop({"/srv/a", odd, "/srv/file.txt"}, window->编辑框_文件名->viewport());
    EXPECT_EQ(paths(), (Texts{"/srv/file.txt", odd, "/srv/a"}));
    EXPECT_TRUE(window->编辑框_文件名->toPlainText().isEmpty());

    window->单选框_整个电脑->click();
    drop({"/srv/b"}, window.get());
    EXPECT_EQ(list()->rowCount(), 3);
}

TEST_F(PathListTest, MenuItemsDeleteCheckAndUncheck)
{
    for (const char *path : {"/e", "/d", "/c", "/b", "/a"})
        window->pathList->addSearchPathRow(path);
    window->删除当前路径->trigger(); // nothing selected
    EXPECT_EQ(list()->rowCount(), 5);
    auto select = [&](int row) {
        list()->selectionModel()->select(list()->rows().index(row, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    select(3);
    select(1);
    window->删除当前路径->trigger(); // only the topmost selected row
    EXPECT_EQ(paths(), (Texts{"/a", "/c", "/d", "/e"}));

    window->路径取消全选->trigger();
    for (int r = 0; r < 4; ++r)
        EXPECT_FALSE(list()->isRowChecked(r));
    window->路径全部勾选->trigger();
    for (int r = 0; r < 4; ++r)
        EXPECT_TRUE(list()->isRowChecked(r));
    // The menu works in the whole-computer mode too.
    window->单选框_整个电脑->click();
    window->删除全部路径->trigger();
    EXPECT_EQ(list()->rowCount(), 0);
    window->删除全部路径->trigger();
    EXPECT_EQ(list()->rowCount(), 0);
}

} // namespace
} // namespace quorvel::testing
