#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <filesystem>

#include "roots/fixed_disks.h"
#include "roots/path_list.h"
#include "search/not_found_action.h"
#include "search/search_request.h"
#include "support/window_fixture.h"

namespace quorvel::testing {
namespace {

class SearchRequestTest : public WindowTest
{
  protected:
    QString text(const char *utf8) { return QString::fromUtf8(utf8); }

    void setKeywords(const char *utf8) { window->编辑框_文件名->setPlainText(text(utf8)); }
    void addRoot(const std::string &path) { window->pathList->addSearchPathRow(path); }
    std::string status() { return window->status(); }
    std::vector<std::string> rows(int column = 0)
    {
        std::vector<std::string> out;
        for (int r = 0; r < window->超级列表框1->rowCount(); ++r)
            out.push_back(window->超级列表框1->cellText(r, column));
        return out;
    }
    // Clicks the search button and waits for the search to end.
    void search()
    {
        window->按钮_立即搜索->click();
        ASSERT_TRUE(waitUntil([&] { return !window->searchRequest->isRunning(); }));
        QCoreApplication::processEvents();
    }

    TempDir tree;
};

using Texts = std::vector<std::string>;

TEST_F(SearchRequestTest, EmptyFolderListShowsTheFirstMessageAndTouchesNothing)
{
    setKeywords("a\n\nb");
    window->按钮_停止搜索->click();
    window->按钮_立即搜索->click();
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "您选择的是按指定路径搜索，请指定搜索路径后再搜索！");
    EXPECT_EQ(shell.messages[0].caption, "信息：");
    EXPECT_EQ(window->编辑框_文件名->toPlainText(), text("a\n\nb"));
    EXPECT_EQ(status(), "请稍后.....");
    EXPECT_EQ(window->按钮_停止搜索->text(), text("已停止"));
    EXPECT_FALSE(window->按钮_未搜索到文件->isEnabled());
}

TEST_F(SearchRequestTest, OnlyBlankAndSpaceLinesShowTheSecondMessage)
{
    addRoot(tree.path());
    setKeywords("\n   \n\u3000\u3000\n \u3000 \n");
    window->按钮_停止搜索->click();
    window->按钮_立即搜索->click();
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "您没有输入任何要搜索的文件名！请输入后再执行搜索！");
    EXPECT_TRUE(window->编辑框_文件名->toPlainText().isEmpty());
    EXPECT_TRUE(arrays.keywordLines.empty());
    EXPECT_TRUE(arrays.keywordRecords.empty());
    EXPECT_EQ(window->按钮_停止搜索->text(), text("停止搜索")); // armed before the box was read
    EXPECT_FALSE(window->按钮_未搜索到文件->isEnabled());
}

TEST_F(SearchRequestTest, KeywordBoxIsRewrittenWithoutBlankLines)
{
    addRoot(tree.path());
    setKeywords("a\n\n   \nb\n  ab c  \n\t\na\n");
    search();
    EXPECT_EQ(window->编辑框_文件名->toPlainText(), text("a\nb\n  ab c  \n\t\na\n"));
    EXPECT_EQ(arrays.keywordLines, (Texts{"a", "b", "  ab c  ", "\t", "a"}));
    ASSERT_EQ(arrays.keywordRecords.size(), 5u);
    EXPECT_EQ(arrays.keywordRecords[2].text, "  ab c  ");
    EXPECT_EQ(arrays.searchRoots, Texts{tree.path()});
    EXPECT_EQ(status(), "搜索完毕,共搜索到文件0个。");
    EXPECT_TRUE(window->按钮_未搜索到文件->isEnabled());
}

TEST_F(SearchRequestTest, AllRowsUncheckedSearchesNothingAndReportsZero)
{
    addRoot(tree.path());
    window->超级列表框_路径->setRowChecked(0, false);
    window->超级列表框1->insertRow(0, "/old/row");
    setKeywords("x");
    search();
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_TRUE(arrays.searchRoots.empty());
    EXPECT_EQ(window->超级列表框1->rowCount(), 0);
    EXPECT_EQ(status(), "搜索完毕,共搜索到文件0个。");
}

TEST_F(SearchRequestTest, FileNameSearchPutsNewestHitsOnTop)
{
    makeTree(tree.path(), {"Report.DOCX", "sub/report", "sub/report.tar.gz", "sub/deeper/x.txt", "folder.report/"});
    addRoot(tree.path() + "/");
    setKeywords("report\nREPORT.docx");
    search();
    // Breadth-first: the root's file first, then sub's; each hit goes on top.
    const std::string root = tree.path() + "/";
    EXPECT_EQ(rows(0), (Texts{root + "sub/report", root + "Report.DOCX", root + "Report.DOCX"}));
    EXPECT_EQ(rows(1), (Texts{"report", "Report.DOCX", "Report.DOCX"}));
    EXPECT_EQ(status(), "搜索完毕,共搜索到文件3个。");
    EXPECT_EQ(window->按钮_停止搜索->text(), text("停止搜索"));
}

TEST_F(SearchRequestTest, FolderNameSearchAppendsRowsKeywordByKeyword)
{
    makeTree(tree.path(), {"work/a/a1/", "work/a/a2/", "work/b/", "work/Music/"});
    addRoot(tree.path() + "/work");
    window->选择框_搜索目录->setChecked(true);
    window->单选框_模糊搜索->setChecked(true);
    setKeywords("a\nusi\nwork");
    window->按钮_立即搜索->click();
    EXPECT_TRUE(window->按钮_未搜索到文件->isEnabled()); // at once, before anything is found
    ASSERT_TRUE(waitUntil([&] { return !window->searchRequest->isRunning(); }));
    QCoreApplication::processEvents();
    const std::string w = tree.path() + "/work";
    // Keyword-major; within a keyword the folders in post-order (children before parents,
    // siblings in the order the filesystem lists them).
    std::vector<std::string> got = rows(0);
    ASSERT_EQ(got.size(), 5u);
    std::vector<std::string> children(got.begin(), got.begin() + 2);
    std::sort(children.begin(), children.end());
    EXPECT_EQ(children, (Texts{w + "/a/a1", w + "/a/a2"}));
    EXPECT_EQ(got[2], w + "/a");
    EXPECT_EQ(got[3], w + "/Music");
    EXPECT_EQ(got[4], w);
    EXPECT_EQ(rows(1), Texts(got.size(), ""));
    EXPECT_EQ(status(), "搜索完毕！共搜索到文件夹" + std::to_string(got.size()) + "个。");
}

TEST_F(SearchRequestTest, WholeComputerSearchesEveryLocalDiskWithoutNeedingFolders)
{
    window->单选框_整个电脑->setChecked(true);
    window->单选框_指定路径->setChecked(false);
    setKeywords("no-such-file-anywhere.quorvel");
    window->按钮_立即搜索->click();
    window->按钮_停止搜索->click();
    ASSERT_TRUE(waitUntil([&] { return !window->searchRequest->isRunning(); }));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(arrays.searchRoots, everyFixedDisk());
    EXPECT_EQ(status(), "搜索完毕,共搜索到文件0个。");
}

TEST_F(SearchRequestTest, StopWithoutSearchStaysUntilTheNextRequest)
{
    window->按钮_停止搜索->click();
    EXPECT_TRUE(window->searchRequest->isStopRequested());
    EXPECT_EQ(window->按钮_停止搜索->text(), text("已停止"));
    addRoot(tree.path());
    setKeywords("x");
    search();
    EXPECT_FALSE(window->searchRequest->isStopRequested());
}

TEST_F(SearchRequestTest, StopEndsALargeWalkWithTheFinalCount)
{
    for (int folder = 0; folder < 100; ++folder) {
        const std::string dir = tree / ("d" + std::to_string(folder));
        std::filesystem::create_directory(dir);
        for (int file = 0; file < 200; ++file)
            writeFile(dir + "/f" + std::to_string(file) + ".txt", "");
    }
    addRoot(tree.path());
    window->单选框_模糊搜索->setChecked(true);
    setKeywords(".txt");
    window->按钮_立即搜索->click();
    window->按钮_停止搜索->click();
    ASSERT_TRUE(waitUntil([&] { return !window->searchRequest->isRunning(); }));
    QCoreApplication::processEvents();
    const int found = window->超级列表框1->rowCount();
    EXPECT_LE(found, 20000);
    EXPECT_EQ(status(), "搜索完毕,共搜索到文件" + std::to_string(found) + "个。");
    EXPECT_EQ(window->按钮_停止搜索->text(), text("已停止"));
}

TEST_F(SearchRequestTest, SecondRequestStopsTheRunningSearchFirst)
{
    const std::string big = tree / "big";
    for (int folder = 0; folder < 50; ++folder) {
        const std::string dir = big + "/d" + std::to_string(folder);
        std::filesystem::create_directories(dir);
        for (int file = 0; file < 200; ++file)
            writeFile(dir + "/f" + std::to_string(file) + ".txt", "");
    }
    makeTree(tree.path(), {"small/only.txt"});
    addRoot(big);
    window->单选框_模糊搜索->setChecked(true);
    setKeywords(".txt");
    window->按钮_立即搜索->click();

    window->超级列表框_路径->setRowChecked(0, false);
    addRoot(tree / "small");
    setKeywords("only");
    search();
    EXPECT_EQ(rows(0), Texts{tree.path() + "/small/only.txt"});
    EXPECT_EQ(status(), "搜索完毕,共搜索到文件1个。");
    EXPECT_EQ(arrays.keywordLines, Texts{"only"});
}

TEST_F(SearchRequestTest, NotFoundReportIsWrittenWholeAndOpened)
{
    makeTree(tree.path(), {"a.jpg", "c.jpg", "music/xabcx.txt"});
    addRoot(tree.path());
    setKeywords("a.jpg\nb.jpg\nc.jpg\nb.jpg\nmusic\nabc");
    search();
    window->按钮_未搜索到文件->click();
    const std::string report = home / "未搜到文件列表.txt";
    EXPECT_EQ(readFile(report), "b.jpg\r\nb.jpg\r\nmusic\r\nabc\r\n");
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], report);

    // Every line found: an empty file, still opened.
    setKeywords("a.jpg\nc");
    window->按钮_未搜索到文件->click();
    EXPECT_TRUE(std::filesystem::exists(report));
    EXPECT_EQ(readFile(report), "");
    EXPECT_EQ(shell.opened.size(), 2u);
}

} // namespace
} // namespace quorvel::testing
