#include "settings/options.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "support/temp_dir.h"

using namespace quorvel;
using quorvel::testing::readFile;
using quorvel::testing::TempDir;
using quorvel::testing::writeFile;
using text::Codeset;

namespace {

class OptionsTest : public ::testing::Test
{
  protected:
    void TearDown() override { text::setSystemCodeset(Codeset::Utf8); }

    std::string file() const { return m_dir / "config.ini"; }

    TempDir m_dir;
};

TEST_F(OptionsTest, MissingFileGivesTheDefaults)
{
    const Options options = readOptions(m_dir.path());
    EXPECT_EQ(options, Options{});
    EXPECT_FALSE(options.wholeComputer);
    EXPECT_TRUE(options.exact);
    EXPECT_FALSE(options.saveKeywords || options.savePaths || options.renameOnClash || options.folderNamesOnly);
    EXPECT_FALSE(options.disableDeleteButton || options.disableMoveButton);
    EXPECT_EQ(readOption(m_dir.path(), OptionKey::Exact), "");
}

TEST_F(OptionsTest, KeysAndTruthTextsInBothCodesets)
{
    EXPECT_EQ(trueText(Codeset::Utf8), "\xE7\x9C\x9F");
    EXPECT_EQ(falseText(Codeset::Utf8), "\xE5\x81\x87");
    EXPECT_EQ(trueText(Codeset::Gbk), "\xD5\xE6");
    EXPECT_EQ(falseText(Codeset::Gbk), "\xBC\xD9");
    const char *names[] = {"全盘搜索",   "精确",         "同名文件自动更名", "是否只搜索目录名",
                           "保存关键字", "禁用删除按钮", "禁用移动按钮",     "保存路径"};
    for (std::size_t i = 0; i < kOptionKeys.size(); ++i)
        EXPECT_EQ(optionKeyName(kOptionKeys[i], Codeset::Utf8), names[i]);
    EXPECT_EQ(optionKeyName(OptionKey::Exact, Codeset::Gbk), "\xBE\xAB\xC8\xB7");
}

struct ValueCase {
    const char *label;
    std::string stored; // the line's value in config.ini; nothing written when null
    bool exactKeyMeansExact;
    bool otherKeyIsTrue;
};

class OptionValueTest : public ::testing::TestWithParam<ValueCase>
{
};

TEST_P(OptionValueTest, OnlyExactTruthTextsCount)
{
    const ValueCase &c = GetParam();
    TempDir dir;
    writeFile(dir / "config.ini", "[zhuce]\r\n精确=" + c.stored + "\r\n保存路径=" + c.stored + "\r\n");
    const Options options = readOptions(dir.path());
    EXPECT_EQ(options.exact, c.exactKeyMeansExact);
    EXPECT_EQ(options.savePaths, c.otherKeyIsTrue);
    EXPECT_EQ(selectsExactMatching(readOption(dir.path(), OptionKey::Exact), Codeset::Utf8), c.exactKeyMeansExact);
    EXPECT_EQ(isTrueValue(readOption(dir.path(), OptionKey::SavePaths), Codeset::Utf8), c.otherKeyIsTrue);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionValueTest,
                         ::testing::Values(ValueCase{"true_text", "真", true, true},
                                           ValueCase{"false_text", "假", false, false},
                                           ValueCase{"empty", "", true, false},
                                           ValueCase{"spaces_around_are_not_part_of_it", "  假 ", false, false},
                                           ValueCase{"doubled", "真真", true, false},
                                           ValueCase{"doubled_false", "假假", true, false},
                                           ValueCase{"english", "true", true, false},
                                           ValueCase{"gbk_bytes_in_a_utf8_file", "\xD5\xE6", true, false}),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(OptionsTest, EveryOptionRoundTripsAndIsWrittenAtOnce)
{
    for (OptionKey key : kOptionKeys)
        ASSERT_EQ(writeOption(m_dir.path(), key, true), "");
    EXPECT_EQ(readFile(file()),
              "[zhuce]\r\n全盘搜索=真\r\n精确=真\r\n同名文件自动更名=真\r\n是否只搜索目录名=真\r\n保存关键字=真\r\n"
              "禁用删除按钮=真\r\n禁用移动按钮=真\r\n保存路径=真\r\n");
    Options options = readOptions(m_dir.path());
    for (OptionKey key : kOptionKeys)
        EXPECT_TRUE(optionValue(options, key));

    for (OptionKey key : kOptionKeys)
        ASSERT_EQ(writeOption(m_dir.path(), key, false), "");
    options = readOptions(m_dir.path());
    EXPECT_FALSE(options.exact);
    for (OptionKey key : kOptionKeys)
        EXPECT_FALSE(optionValue(options, key));
    EXPECT_EQ(readOption(m_dir.path(), OptionKey::Exact), "假");
}

TEST_F(OptionsTest, TogglingTwiceEndsAtFalseInOneLine)
{
    ASSERT_EQ(writeOption(m_dir.path(), OptionKey::DisableDeleteButton, true), "");
    ASSERT_EQ(writeOption(m_dir.path(), OptionKey::DisableDeleteButton, false), "");
    EXPECT_EQ(readFile(file()), "[zhuce]\r\n禁用删除按钮=假\r\n");
}

TEST_F(OptionsTest, FileOfAnOlderWindowsCopyIsReadUnderUtf8)
{
    // 全盘搜索=真, 精确=假, 保存关键字=真 in GBK.
    writeFile(file(), "[zhuce]\r\n\xC8\xAB\xC5\xCC\xCB\xD1\xCB\xF7=\xD5\xE6\r\n\xBE\xAB\xC8\xB7=\xBC\xD9\r\n"
                      "\xB1\xA3\xB4\xE6\xB9\xD8\xBC\xFC\xD7\xD6=\xD5\xE6\r\n");
    Options expected;
    expected.wholeComputer = true;
    expected.exact = false;
    expected.saveKeywords = true;
    EXPECT_EQ(readOptions(m_dir.path()), expected);
}

TEST_F(OptionsTest, GbkCodesetStoresGbkTexts)
{
    text::setSystemCodeset(Codeset::Gbk);
    ASSERT_EQ(writeOption(m_dir.path(), OptionKey::Exact, false), "");
    EXPECT_EQ(readFile(file()), "[zhuce]\r\n\xBE\xAB\xC8\xB7=\xBC\xD9\r\n");
    EXPECT_FALSE(readOptions(m_dir.path()).exact);
}

TEST_F(OptionsTest, WriteIntoMissingFolderFailsAndSaysSo)
{
    EXPECT_NE(writeOption(m_dir / "absent", OptionKey::Exact, true), "");
}

} // namespace
