#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "app/check_list_view.h"
#include "app/qt_text.h"
#include "search/found_rows.h"

namespace quorvel {
namespace {

struct Lists : ::testing::Test {
    CheckListView list{{QStringLiteral("文件路径"), QStringLiteral("文件名")}, {450, 100}};
    QAbstractItemModelTester tester{&list.rows(), QAbstractItemModelTester::FailureReportingMode::Fatal};

    std::vector<std::string> column(int c)
    {
        std::vector<std::string> out;
        for (int r = 0; r < list.rowCount(); ++r)
            out.push_back(list.cellText(r, c));
        return out;
    }
};

using Texts = std::vector<std::string>;

TEST_F(Lists, InsertRowPutsNewRowsWhereAsked)
{
    EXPECT_EQ(list.insertRow(-1, "b"), 0);
    EXPECT_EQ(list.insertRow(0, "a"), 0);
    EXPECT_EQ(list.insertRow(99, "d"), 2);
    EXPECT_EQ(list.insertRow(2, "c"), 2);
    EXPECT_EQ(list.insertRow(), 4);
    EXPECT_EQ(column(0), (Texts{"a", "b", "c", "d", ""}));
    EXPECT_EQ(column(1), (Texts{"", "", "", "", ""}));
    EXPECT_FALSE(list.isRowChecked(0));
    EXPECT_EQ(list.cellText(7, 0), "");
    EXPECT_EQ(list.cellText(0, 5), "");

    list.setCellText(1, 1, "name");
    list.setRowChecked(2, true);
    list.deleteRow(-1);
    list.deleteRow(0);
    EXPECT_EQ(column(0), (Texts{"b", "c", "d", ""}));
    EXPECT_EQ(list.cellText(0, 1), "name");
    EXPECT_TRUE(list.isRowChecked(1));
    list.deleteAllRows();
    EXPECT_EQ(list.rowCount(), 0);
}

TEST_F(Lists, BatchesGoOnTopNewestFirstOrAtTheEnd)
{
    RowBatch first;
    first.add("/d/", "a.txt", true);
    first.add("/d/", "b.txt", true);
    list.rows().prependBatch(first);
    RowBatch second;
    second.add("/d/", "c.txt", true);
    list.rows().prependBatch(second);
    EXPECT_EQ(column(0), (Texts{"/d/c.txt", "/d/b.txt", "/d/a.txt"}));
    EXPECT_EQ(column(1), (Texts{"c.txt", "b.txt", "a.txt"}));

    RowBatch folders;
    folders.add("", "/d/x", false);
    list.rows().appendBatch(folders);
    EXPECT_EQ(list.cellText(3, 0), "/d/x");
    EXPECT_EQ(list.cellText(3, 1), "");
}

TEST_F(Lists, RowsKeepTheirExactBytes)
{
    const std::string odd = "/tmp/bad\xFF\xFEname";
    list.insertRow(0, odd);
    EXPECT_EQ(list.cellText(0, 0), odd);
    const QByteArray raw = list.rows().data(list.rows().index(0, 0), CheckListModel::RawBytesRole).toByteArray();
    EXPECT_EQ(raw.toStdString(), odd);
    EXPECT_TRUE(list.rows().data(list.rows().index(0, 0), Qt::DisplayRole).toString().contains(QChar(0xFFFD)));
    // A drag out carries the exact bytes in the file URL.
    list.selectionModel()->select(list.rows().index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    std::unique_ptr<QMimeData> mime(list.rows().mimeData({list.rows().index(0, 0)}));
    ASSERT_EQ(mime->urls().size(), 1);
    EXPECT_EQ(pathOfFileUrl(mime->urls().front()), odd);
}

TEST_F(Lists, SelectionAndCheckMarks)
{
    for (const char *text : {"a", "b", "c", "d", "e"})
        list.insertRow(-1, text);
    EXPECT_EQ(list.selectedRow(), -1);
    auto select = [&](int row) {
        list.selectionModel()->select(list.rows().index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    select(3);
    select(1);
    EXPECT_EQ(list.selectedRow(), 1);
    EXPECT_TRUE(list.isRowSelected(3));
    EXPECT_FALSE(list.isRowSelected(2));
    EXPECT_EQ(list.selectedRows(), (std::vector<int>{1, 3}));

    QSignalSpy changes(&list.rows(), &QAbstractItemModel::dataChanged);
    list.rows().setAllChecked(true);
    EXPECT_EQ(changes.count(), 1);
    for (int r = 0; r < 5; ++r)
        EXPECT_TRUE(list.isRowChecked(r));
    list.rows().setAllChecked(false);
    EXPECT_EQ(list.rows().rows().checkedCount(), 0u);
}

TEST_F(Lists, PermutedTextsLeaveCheckMarksAtTheirPositions)
{
    for (const char *text : {"c", "a", "b"})
        list.insertRow(-1, text);
    list.setRowChecked(0, true);
    QSignalSpy changes(&list.rows(), &QAbstractItemModel::dataChanged);
    list.rows().permuteTexts({1, 2, 0});
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(column(0), (Texts{"a", "b", "c"}));
    EXPECT_TRUE(list.isRowChecked(0));
    EXPECT_FALSE(list.isRowChecked(2));
}

TEST_F(Lists, RemovingScatteredRowsKeepsTheOthersInOrderWithTheirMarks)
{
    for (int i = 0; i < 200; ++i)
        list.insertRow(0, std::to_string(i));
    list.setRowChecked(1, true);
    std::vector<std::size_t> gone;
    for (std::size_t r = 0; r < 200; r += 2)
        gone.push_back(r);
    list.rows().removeRowsAt(gone);
    ASSERT_EQ(list.rowCount(), 100);
    EXPECT_EQ(list.cellText(0, 0), "198");
    EXPECT_TRUE(list.isRowChecked(0));
    EXPECT_EQ(list.cellText(99, 0), "0");
    list.rows().removeRowsAt({0, 1, 2, 50});
    EXPECT_EQ(list.rowCount(), 96);
    EXPECT_EQ(list.cellText(0, 0), "192");
}

} // namespace
} // namespace quorvel
