#include <QMimeData>
#include <QUrl>
#include <QProgressBar>
#include <QPushButton>
#include <QCheckBox>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "app/clipboard_formats.h"
#include "fileops/batch_operations.h"
#include "support/window_fixture.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

class BatchOperationsTest : public WindowTest
{
  protected:
    void SetUp() override
    {
        setenv("XDG_DATA_HOME", (data / "share").c_str(), 1);
        WindowTest::SetUp();
    }

    // Rows for the given names below `files`, top to bottom, none checked.
    void rows(const Texts &names)
    {
        for (auto it = names.rbegin(); it != names.rend(); ++it) {
            const int row = list()->insertRow(0, files / *it);
            list()->setCellText(row, 1, *it);
        }
    }
    void check(std::initializer_list<int> checked)
    {
        for (int row : checked)
            list()->setRowChecked(row, true);
    }
    Texts names()
    {
        Texts out;
        for (int r = 0; r < list()->rowCount(); ++r)
            out.push_back(list()->cellText(r, 1));
        return out;
    }
    void waitForBatch()
    {
        ASSERT_TRUE(waitUntil([&] { return !window->batchOperations->isRunning(); }));
    }
    CheckListView *list() { return window->超级列表框1; }

    TempDir data;
    TempDir files;
    TempDir destination;
};

TEST_F(BatchOperationsTest, CancelledChooserTouchesNothing)
{
    makeTree(files.path(), {"a.txt"});
    rows({"a.txt"});
    check({0});
    window->setStatus("before");
    window->进度条1->setValue(42);
    window->按钮3->click();
    EXPECT_EQ(shell.folderTitles, Texts{"请选择"});
    EXPECT_EQ(window->status(), "before");
    EXPECT_EQ(window->进度条1->value(), 42);
    EXPECT_FALSE(window->batchOperations->isRunning());
}

TEST_F(BatchOperationsTest, CopiesEveryCheckedRowAndKeepsTheRows)
{
    makeTree(files.path(), {"a.txt", "b.txt", "c.txt", "folder/inner.txt"});
    rows({"a.txt", "b.txt", "c.txt", "folder"});
    check({0, 2, 3});
    shell.folderAnswers.push_back(destination.path());
    window->按钮3->click();
    waitForBatch();
    EXPECT_EQ(window->status(), "复制完毕！");
    EXPECT_EQ(window->进度条1->maximum(), 3);
    EXPECT_EQ(window->进度条1->value(), 3);
    EXPECT_EQ(readFile(destination / "a.txt"), "a.txt");
    EXPECT_FALSE(fs::exists(destination / "b.txt"));
    EXPECT_EQ(readFile(destination / "folder/inner.txt"), "folder/inner.txt");
    EXPECT_TRUE(fs::exists(files / "a.txt"));
    EXPECT_EQ(names(), (Texts{"a.txt", "b.txt", "c.txt", "folder"}));
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(BatchOperationsTest, RenameOptionIsReadForEachEntry)
{
    makeTree(files.path(), {"a.txt"});
    makeTree(destination.path(), {"a.txt"});
    writeFile(destination / "a.txt", "old");
    rows({"a.txt"});
    check({0});
    window->选择框1->setChecked(true);
    shell.folderAnswers.push_back(destination.path());
    window->按钮3->click();
    waitForBatch();
    EXPECT_EQ(readFile(destination / "a.txt"), "old");
    EXPECT_EQ(readFile(destination / "a (2).txt"), "a.txt");

    window->选择框1->setChecked(false);
    shell.folderAnswers.push_back(destination.path());
    window->按钮3->click();
    waitForBatch();
    EXPECT_EQ(readFile(destination / "a.txt"), "a.txt");
    EXPECT_FALSE(fs::exists(destination / "a (3).txt"));
}

TEST_F(BatchOperationsTest, MovedRowsStayWithTheirOldPaths)
{
    makeTree(files.path(), {"a.txt", "b.txt"});
    rows({"a.txt", "b.txt"});
    check({1});
    shell.folderAnswers.push_back(destination.path());
    window->按钮5->click();
    waitForBatch();
    EXPECT_EQ(window->status(), "移动完毕！");
    EXPECT_FALSE(fs::exists(files / "b.txt"));
    EXPECT_EQ(readFile(destination / "b.txt"), "b.txt");
    EXPECT_EQ(list()->cellText(1, 0), files / "b.txt");
    EXPECT_TRUE(list()->isRowChecked(1));
}

TEST_F(BatchOperationsTest, AMoveNeverReplacesWhatItBroughtItself)
{
    makeTree(files.path(), {"one/same.txt", "two/same.txt"});
    rows({"one/same.txt", "two/same.txt"});
    check({0, 1});
    shell.folderAnswers.push_back(destination.path());
    window->按钮5->click();
    waitForBatch();
    EXPECT_EQ(readFile(destination / "same.txt"), "one/same.txt");
    EXPECT_EQ(readFile(files / "two/same.txt"), "two/same.txt");
    EXPECT_EQ(window->status(), "移动完毕，其中1个失败！");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].text.find(files / "two/same.txt"), std::string::npos);
}

TEST_F(BatchOperationsTest, NothingCheckedSaysSoAfterTheChooser)
{
    makeTree(files.path(), {"a.txt"});
    rows({"a.txt"});
    shell.folderAnswers.push_back(destination.path());
    window->按钮3->click();
    waitForBatch();
    EXPECT_EQ(window->status(), "您没有选择要复制的文件！");
    shell.folderAnswers.push_back(destination.path());
    window->按钮5->click();
    waitForBatch();
    EXPECT_EQ(window->status(), "您没有选择要移动的文件！");
    EXPECT_EQ(window->进度条1->value(), 0);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(BatchOperationsTest, AFailedRowIsReportedNotCountedAsDone)
{
    makeTree(files.path(), {"a.txt", "c.txt"});
    rows({"a.txt", "gone.txt", "c.txt"});
    check({0, 1, 2});
    shell.folderAnswers.push_back(destination.path());
    window->按钮3->click();
    waitForBatch();
    EXPECT_TRUE(fs::exists(destination / "a.txt"));
    EXPECT_TRUE(fs::exists(destination / "c.txt"));
    EXPECT_EQ(window->status(), "复制完毕，其中1个失败！");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].text.find(files / "gone.txt"), std::string::npos);
    EXPECT_NE(shell.messages[0].text.find("No such file or directory"), std::string::npos);
}

TEST_F(BatchOperationsTest, DeleteRemovesExactlyTheTrashedRows)
{
    makeTree(files.path(), {"A", "B", "C", "D", "E", "F"});
    rows({"A", "B", "C", "D", "E", "F"});
    check({1, 3, 4});
    shell.okCancelAnswers.push_back(true);
    window->按钮4->click();
    waitForBatch();
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].text, "您确定要删除选定的文件吗？请慎重，删除后不可恢复！");
    EXPECT_EQ(shell.questions[0].caption, "确定删除吗？");
    EXPECT_EQ(names(), (Texts{"A", "C", "F"}));
    EXPECT_EQ(window->status(), "删除完毕！");
    EXPECT_EQ(window->进度条1->value(), 3);
    for (const char *gone : {"B", "D", "E"}) {
        EXPECT_FALSE(fs::exists(files / gone));
        EXPECT_TRUE(fs::exists(data / (std::string("share/Trash/files/") + gone))) << gone;
        EXPECT_TRUE(fs::exists(data / (std::string("share/Trash/info/") + gone + ".trashinfo").c_str()));
    }
    for (int r = 0; r < 3; ++r)
        EXPECT_FALSE(list()->isRowChecked(r));
}

TEST_F(BatchOperationsTest, DeleteAskedFirstAndKeepsFailedRows)
{
    makeTree(files.path(), {"a", "b"});
    rows({"a", "gone", "b"});
    check({0, 1});
    window->按钮4->click(); // Cancel
    EXPECT_EQ(names(), (Texts{"a", "gone", "b"}));
    EXPECT_TRUE(fs::exists(files / "a"));

    shell.okCancelAnswers.push_back(true);
    window->按钮4->click();
    waitForBatch();
    EXPECT_EQ(names(), (Texts{"gone", "b"}));
    EXPECT_EQ(window->status(), "删除完毕，其中1个失败！");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].text.find(files / "gone"), std::string::npos);

    list()->setRowChecked(0, false);
    shell.okCancelAnswers.push_back(true);
    window->按钮4->click();
    waitForBatch();
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[1].text, "您没有选择任何文件！");
    EXPECT_EQ(shell.messages[1].caption, "信息：");
    EXPECT_EQ(window->status(), "正在删除，请稍等...");
}

// A volume of its own, in this test process's private mount namespace, whose top folder holds
// a file where its trash would go: its entries cannot be trashed. The namespace is made
// before the window, so the window's worker thread is born into it.
class UntrashableVolumeTest : public BatchOperationsTest
{
  protected:
    void SetUp() override
    {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", volume.path().c_str(), "tmpfs", 0, "size=4m") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted = true;
        BatchOperationsTest::SetUp();
        writeFile(volume / (".Trash-" + std::to_string(::getuid())), "not a folder");
        makeTree(volume.path(), {"a.txt", "b.txt"});
        for (const char *name : {"b.txt", "a.txt"}) {
            const int row = list()->insertRow(0, volume / name);
            list()->setCellText(row, 1, name);
            list()->setRowChecked(row, true);
        }
    }
    void TearDown() override
    {
        if (mounted)
            ::umount2(volume.path().c_str(), MNT_DETACH);
        BatchOperationsTest::TearDown();
    }

    TempDir volume;
    bool mounted = false;
};

TEST_F(UntrashableVolumeTest, AskedOnceRefusedEntriesKeepTheirRows)
{
    shell.okCancelAnswers = {true, false};
    window->按钮4->click();
    waitForBatch();
    ASSERT_EQ(shell.questions.size(), 2u);
    EXPECT_NE(shell.questions[1].text.find("2个项目无法移到回收站"), std::string::npos);
    EXPECT_NE(shell.questions[1].text.find(volume / "a.txt"), std::string::npos);
    EXPECT_TRUE(fs::exists(volume / "a.txt"));
    EXPECT_EQ(names(), (Texts{"a.txt", "b.txt"}));
    EXPECT_EQ(window->status(), "删除完毕，其中2个失败！");
}

TEST_F(UntrashableVolumeTest, AcceptedEntriesAreDeletedForGood)
{
    shell.okCancelAnswers = {true, true};
    window->按钮4->click();
    waitForBatch();
    EXPECT_EQ(shell.questions.size(), 2u);
    EXPECT_FALSE(fs::exists(volume / "a.txt"));
    EXPECT_FALSE(fs::exists(volume / "b.txt"));
    EXPECT_EQ(list()->rowCount(), 0);
    EXPECT_EQ(window->status(), "删除完毕！");
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(BatchOperationsTest, ClipboardGetsTheCheckedPathsInRowOrder)
{
    window->按钮_复制到剪贴板->click();
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "您没有选定任何文件！");
    EXPECT_TRUE(shell.clipboardLists.empty());

    rows({"照片 1.jpg", "b.txt", "文档.docx"});
    check({2, 0});
    window->按钮_复制到剪贴板->click();
    ASSERT_EQ(shell.clipboardLists.size(), 1u);
    EXPECT_EQ(shell.clipboardLists[0], (Texts{files / "照片 1.jpg", files / "文档.docx"}));
    EXPECT_EQ(shell.messages.back().text, "选定的文件已经复制到剪贴板，可以直接进行粘贴！(Ctrl+V)");
    EXPECT_EQ(shell.messages.back().caption, "信息：");
}

TEST(ClipboardFormats, FileManagersGetUriListsGnomeAndKdeFormatsAndText)
{
    std::unique_ptr<QMimeData> mime(fileListMimeData({"/home/u/照片 1.jpg", "/srv/文档.docx"}));
    const QByteArray first = "file:///home/u/%E7%85%A7%E7%89%87%201.jpg";
    const QByteArray second = "file:///srv/%E6%96%87%E6%A1%A3.docx";
    EXPECT_EQ(mime->data("text/uri-list"), first + "\r\n" + second + "\r\n");
    EXPECT_EQ(mime->data("x-special/gnome-copied-files"), "copy\n" + first + "\n" + second);
    EXPECT_EQ(mime->data("application/x-kde-cutselection"), "0");
    EXPECT_EQ(mime->text(), QString::fromUtf8("/home/u/照片 1.jpg\n/srv/文档.docx"));
    ASSERT_EQ(mime->urls().size(), 2);
    EXPECT_EQ(mime->urls()[0].toLocalFile(), QString::fromUtf8("/home/u/照片 1.jpg"));
}

} // namespace
} // namespace quorvel::testing
