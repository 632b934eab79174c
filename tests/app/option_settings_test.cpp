#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>

#include "roots/path_list.h"
#include "settings/ini_file.h"
#include "support/window_fixture.h"

namespace quorvel::testing {
namespace {

class OptionSettingsTest : public WindowTest
{
  protected:
    std::string option(const char *key) { return readIniValue(home / "config.ini", "zhuce", key); }
    void reopen()
    {
        closeWindow();
        openWindow();
    }
};

TEST_F(OptionSettingsTest, EveryClickWritesItsKeyAtOnce)
{
    window->单选框_整个电脑->click();
    EXPECT_EQ(option("全盘搜索"), "真");
    EXPECT_FALSE(window->按钮_搜索路径->isEnabled());
    window->单选框_指定路径->click();
    EXPECT_EQ(option("全盘搜索"), "假");
    EXPECT_TRUE(window->按钮_搜索路径->isEnabled());
    window->单选框_模糊搜索->click();
    EXPECT_EQ(option("精确"), "假");
    window->单选框_精确搜索->click();
    EXPECT_EQ(option("精确"), "真");
    struct {
        QCheckBox *box;
        const char *key;
    } boxes[] = {{window->选择框1, "同名文件自动更名"},
                 {window->选择框_搜索目录, "是否只搜索目录名"},
                 {window->选择框_保存关键字, "保存关键字"},
                 {window->选择框_保存路径, "保存路径"}};
    for (auto &b : boxes) {
        b.box->click();
        EXPECT_EQ(option(b.key), "真") << b.key;
        b.box->click();
        EXPECT_EQ(option(b.key), "假") << b.key;
    }
}

TEST_F(OptionSettingsTest, MenuItemsToggleTheDeleteAndMoveButtons)
{
    window->删除按钮开关->trigger();
    EXPECT_FALSE(window->按钮4->isEnabled());
    EXPECT_EQ(window->删除按钮开关->text(), QString::fromUtf8("启用删除按钮"));
    EXPECT_EQ(option("禁用删除按钮"), "真");
    window->删除按钮开关->trigger();
    EXPECT_TRUE(window->按钮4->isEnabled());
    EXPECT_EQ(window->删除按钮开关->text(), QString::fromUtf8("禁用删除按钮"));
    EXPECT_EQ(option("禁用删除按钮"), "假");

    window->移动按钮开关->trigger();
    EXPECT_FALSE(window->按钮5->isEnabled());
    EXPECT_EQ(window->移动按钮开关->text(), QString::fromUtf8("启用移动按钮"));
    reopen();
    EXPECT_FALSE(window->按钮5->isEnabled());
    EXPECT_EQ(window->移动按钮开关->text(), QString::fromUtf8("启用移动按钮"));
    EXPECT_TRUE(window->按钮4->isEnabled());
}

TEST_F(OptionSettingsTest, OnlyExactlyFalseSelectsFuzzyMatching)
{
    struct {
        const char *value;
        bool exact;
    } cases[] = {{"", true}, {"真", true}, {"假", false}, {"假假", true}, {"x", true}};
    for (auto &c : cases) {
        closeWindow();
        writeFile(home / "config.ini", std::string("[zhuce]\r\n精确=") + c.value + "\r\n");
        openWindow();
        EXPECT_EQ(window->单选框_精确搜索->isChecked(), c.exact) << c.value;
        EXPECT_EQ(window->单选框_模糊搜索->isChecked(), !c.exact) << c.value;
    }
}

TEST_F(OptionSettingsTest, SettingsWrittenInGbkByAnOlderCopyAreRead)
{
    closeWindow();
    // [zhuce] 全盘搜索=真 禁用删除按钮=真, in GBK.
    writeFile(home / "config.ini", "[zhuce]\r\n\xC8\xAB\xC5\xCC\xCB\xD1\xCB\xF7=\xD5\xE6\r\n"
                                   "\xBD\xFB\xD3\xC3\xC9\xBE\xB3\xFD\xB0\xB4\xC5\xA5=\xD5\xE6\r\n");
    openWindow();
    EXPECT_TRUE(window->单选框_整个电脑->isChecked());
    EXPECT_FALSE(window->按钮_搜索路径->isEnabled());
    EXPECT_FALSE(window->按钮4->isEnabled());
}

TEST_F(OptionSettingsTest, EverythingComesBackAfterARestart)
{
    window->单选框_整个电脑->click();
    window->单选框_模糊搜索->click();
    window->选择框1->click();
    window->选择框_搜索目录->click();
    window->选择框_保存关键字->click();
    window->选择框_保存路径->click();
    window->删除按钮开关->trigger();
    window->移动按钮开关->trigger();
    for (const char *path : {"/srv/c", "/srv/with,comma", "/srv/a"})
        window->pathList->addSearchPathRow(path);
    window->超级列表框_路径->setRowChecked(0, false); // the comma row and the one after it stay checked
    window->编辑框_文件名->setPlainText(QString::fromUtf8("照片1.jpg\n  spaced  \n\nlast"));
    reopen();

    EXPECT_TRUE(window->单选框_整个电脑->isChecked());
    EXPECT_FALSE(window->单选框_指定路径->isChecked());
    EXPECT_FALSE(window->按钮_搜索路径->isEnabled());
    EXPECT_TRUE(window->单选框_模糊搜索->isChecked());
    EXPECT_TRUE(window->选择框1->isChecked());
    EXPECT_TRUE(window->选择框_搜索目录->isChecked());
    EXPECT_TRUE(window->选择框_保存关键字->isChecked());
    EXPECT_TRUE(window->选择框_保存路径->isChecked());
    EXPECT_FALSE(window->按钮4->isEnabled());
    EXPECT_FALSE(window->按钮5->isEnabled());
    ASSERT_EQ(window->超级列表框_路径->rowCount(), 3);
    EXPECT_EQ(window->超级列表框_路径->cellText(0, 0), "/srv/a");
    EXPECT_EQ(window->超级列表框_路径->cellText(1, 0), "/srv/with,comma");
    EXPECT_EQ(window->超级列表框_路径->cellText(2, 0), "/srv/c");
    EXPECT_FALSE(window->超级列表框_路径->isRowChecked(0));
    EXPECT_TRUE(window->超级列表框_路径->isRowChecked(1));
    EXPECT_TRUE(window->超级列表框_路径->isRowChecked(2));
    EXPECT_EQ(window->编辑框_文件名->toPlainText(), QString::fromUtf8("照片1.jpg\n  spaced  \n\nlast"));
    EXPECT_EQ(readFile(home / "filemame.txt"), "照片1.jpg\r\n  spaced  \r\n\r\nlast");
    EXPECT_FALSE(window->透明标签1->isVisible());
}

TEST_F(OptionSettingsTest, ClosingWithBothSaveOptionsOffWritesNoFile)
{
    window->pathList->addSearchPathRow("/srv/a");
    window->编辑框_文件名->setPlainText(QStringLiteral("x"));
    closeWindow();
    EXPECT_FALSE(std::filesystem::exists(home / "gxbx.ini"));
    EXPECT_FALSE(std::filesystem::exists(home / "filemame.txt"));
    EXPECT_FALSE(std::filesystem::exists(home / "config.ini"));
}

TEST_F(OptionSettingsTest, EmptyListAndMissingKeywordFileEdgeCases)
{
    window->选择框_保存路径->click();
    window->选择框_保存关键字->click();
    reopen(); // saves an empty list and an empty keyword box
    EXPECT_EQ(readIniValue(home / "gxbx.ini", "lb", "bxjl"), "");
    EXPECT_EQ(readIniValue(home / "gxbx.ini", "lb", "gxbx"), "-1");
    EXPECT_EQ(window->超级列表框_路径->rowCount(), 0);

    closeWindow();
    std::filesystem::remove(home / "filemame.txt");
    openWindow();
    EXPECT_TRUE(window->编辑框_文件名->toPlainText().isEmpty());
    EXPECT_FALSE(window->透明标签1->isVisible());
    window->编辑框_文件名->setFocus();
    QCoreApplication::processEvents();
    window->按钮1->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->透明标签1->isVisible());
}

TEST_F(OptionSettingsTest, SavedFilesFromAnOlderCopyAreRestoredByItsRules)
{
    closeWindow();
    writeFile(home / "config.ini", "[zhuce]\r\n保存关键字=真\r\n保存路径=真\r\n");
    writeFile(home / "gxbx.ini", "[lb]\r\nbxjl=/a,,/b,\r\ngxbx=0,2,7\r\n");
    writeFile(home / "filemame.txt", std::string("one\ntwo\0ignored", 15));
    openWindow();
    ASSERT_EQ(window->超级列表框_路径->rowCount(), 3);
    EXPECT_EQ(window->超级列表框_路径->cellText(1, 0), "");
    EXPECT_TRUE(window->超级列表框_路径->isRowChecked(0));
    EXPECT_FALSE(window->超级列表框_路径->isRowChecked(1));
    EXPECT_TRUE(window->超级列表框_路径->isRowChecked(2));
    EXPECT_EQ(window->编辑框_文件名->toPlainText(), QStringLiteral("one\ntwo"));
    EXPECT_FALSE(window->透明标签1->isVisible());

    // Unchecking the keyword option keeps the saved file; the next run does not load it.
    window->选择框_保存关键字->click();
    window->编辑框_文件名->setPlainText(QStringLiteral("changed"));
    reopen();
    EXPECT_EQ(readFile(home / "filemame.txt"), std::string("one\ntwo\0ignored", 15));
    EXPECT_TRUE(window->编辑框_文件名->toPlainText().isEmpty());
    EXPECT_TRUE(window->透明标签1->isVisible());
}

} // namespace
} // namespace quorvel::testing
