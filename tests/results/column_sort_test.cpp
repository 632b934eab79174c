#include <QCheckBox>
#include <QHeaderView>
#include <QTest>

#include <algorithm>

#include "results/column_sort.h"
#include "support/window_fixture.h"

namespace quorvel::testing {
namespace {

using Texts = std::vector<std::string>;

class ColumnSortTest : public WindowTest
{
  protected:
    void rows(const std::vector<std::pair<std::string, std::string>> &cells)
    {
        for (const auto &[path, name] : cells) {
            const int row = list()->insertRow(-1, path);
            list()->setCellText(row, 1, name);
        }
    }
    Texts column(int c)
    {
        Texts out;
        for (int r = 0; r < list()->rowCount(); ++r)
            out.push_back(list()->cellText(r, c));
        return out;
    }
    void clickHeading(int column)
    {
        QHeaderView *header = list()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    }
    CheckListView *list() { return window->超级列表框1; }
};

TEST_F(ColumnSortTest, HeadingClicksAlternateDirectionSharedByBothColumns)
{
    rows({{"/d/c", "c"}, {"/e/a", "a"}, {"/a/b", "b"}, {"/b/a", "a"}});
    list()->setRowChecked(0, true);
    clickHeading(1); // first click: descending
    EXPECT_FALSE(window->选择框3->isChecked());
    EXPECT_EQ(column(1), (Texts{"c", "b", "a", "a"}));
    EXPECT_EQ(column(0), (Texts{"/d/c", "/a/b", "/e/a", "/b/a"}));
    EXPECT_TRUE(list()->isRowChecked(0)); // the mark stays at its position
    clickHeading(1);                      // ascending: the worked example's order 3, 1, 2, 0
    EXPECT_EQ(column(0), (Texts{"/b/a", "/e/a", "/a/b", "/d/c"}));
    clickHeading(0); // the shared flag makes this one descending
    EXPECT_EQ(column(0), (Texts{"/e/a", "/d/c", "/b/a", "/a/b"}));
    EXPECT_TRUE(list()->isRowChecked(0));
    EXPECT_FALSE(list()->isRowChecked(1));
}

TEST_F(ColumnSortTest, TextsCompareAsBytes)
{
    rows({{"/x/a/b.txt", "b.txt"},
          {"/x/a-x/c.txt", "c.txt"},
          {"/x/folder", ""},
          {"/x/B.txt", "B.txt"},
          {"/x/10.txt", "10.txt"},
          {"/x/9.txt", "9.txt"},
          {"/x/文件.txt", "文件.txt"}});
    sortListByColumn(*list(), 1, 1, true, true);
    EXPECT_EQ(column(1), (Texts{"", "10.txt", "9.txt", "B.txt", "b.txt", "c.txt", "文件.txt"}));
    sortListByColumn(*list(), 0, 1, true, true);
    EXPECT_EQ(column(0)[0], "/x/10.txt");
    const Texts paths = column(0);
    EXPECT_LT(std::find(paths.begin(), paths.end(), "/x/a-x/c.txt"),
              std::find(paths.begin(), paths.end(), "/x/a/b.txt"));
    sortListByColumn(*list(), 1, 1, true, false);
    EXPECT_EQ(column(1).back(), "");
}

TEST_F(ColumnSortTest, EmptyListStillFlipsTheDirection)
{
    window->columnSort->sortResultsByHeading(0);
    EXPECT_FALSE(window->选择框3->isChecked());
    EXPECT_EQ(list()->rowCount(), 0);
}

} // namespace
} // namespace quorvel::testing
