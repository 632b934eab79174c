#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "settings/child_process.h"
#include "support/temp_dir.h"

using namespace quorvel;
using quorvel::testing::readFile;
using quorvel::testing::TempDir;
using quorvel::testing::writeFile;
using text::Codeset;

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// ---- Reading an INI text ----

struct FindCase {
    const char *label;
    std::string text;
    std::string section;
    std::string key;
    std::optional<std::string> value;
    Codeset codeset = Codeset::Utf8;
};

class FindIniValueTest : public ::testing::TestWithParam<FindCase>
{
};

TEST_P(FindIniValueTest, FindsTheValueAsTheProfileFunctionsDo)
{
    const FindCase &c = GetParam();
    EXPECT_EQ(findIniValue(c.text, c.section, c.key, c.codeset), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindIniValueTest,
    ::testing::Values(
        FindCase{"empty_text", "", "s", "k", std::nullopt},
        FindCase{"missing_section", "[t]\r\nk=1\r\n", "s", "k", std::nullopt},
        FindCase{"missing_key", "[s]\r\nj=1\r\n", "s", "k", std::nullopt},
        FindCase{"key_of_another_section", "[s]\r\nj=1\r\n[t]\r\nk=2\r\n", "s", "k", std::nullopt},
        FindCase{"key_before_any_section", "k=0\r\n[s]\r\n", "s", "k", std::nullopt},
        FindCase{"crlf", "[s]\r\nk=1\r\n", "s", "k", "1"}, FindCase{"lf_only", "[s]\nj=0\nk=1\n", "s", "k", "1"},
        FindCase{"no_final_line_break", "[s]\r\nk=1", "s", "k", "1"},
        FindCase{"byte_order_mark", std::string(kBom) + "[s]\r\nk=1\r\n", "s", "k", "1"},
        FindCase{"spaces_around_equals", "[s]\r\n  k \t=  a b  \r\n", "s", "k", "a b"},
        FindCase{"spaces_in_header", "  [ s ]  \r\nk=1\r\n", "s", "k", "1"},
        FindCase{"empty_value", "[s]\r\nk=\r\n", "s", "k", ""},
        FindCase{"value_holds_equals", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        FindCase{"names_ignore_ascii_case", "[ZhuCe]\r\nKey=1\r\n", "zhuce", "KEY", "1"},
        FindCase{"first_key_wins", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1"},
        FindCase{"first_section_wins", "[s]\r\nj=1\r\n[s]\r\nk=2\r\n", "s", "k", std::nullopt},
        FindCase{"header_without_bracket_is_no_header", "[s]\r\n[t\r\nk=1\r\n", "s", "k", "1"},
        FindCase{"blank_and_comment_lines", "; note\r\n\r\n[s]\r\n\r\n;k=0\r\nk=1\r\n", "s", "k", "1"},
        FindCase{"chinese_names", "[zhuce]\r\n精确=假\r\n", "zhuce", "精确", "假"},
        // GBK: B0 5D is one character whose second byte is "]", so the header is "[x\xB0\x5D]".
        FindCase{"gbk_trail_byte_is_no_bracket", "[x\xB0\x5D]\r\nk=1\r\n", "x\xB0\x5D", "k", "1", Codeset::Gbk},
        // GBK: 81 3D is no character ("=" is below the trail range), so "=" stays a separator.
        FindCase{"gbk_key", "[s]\r\n\xBE\xAB\xC8\xB7=\xBC\xD9\r\n", "s", "\xBE\xAB\xC8\xB7", "\xBC\xD9", Codeset::Gbk}),
    [](const auto &info) { return std::string(info.param.label); });

// ---- Changing an INI text ----

struct WriteCase {
    const char *label;
    std::string before;
    std::string key;
    std::string value;
    std::string after;
};

class WithIniValueTest : public ::testing::TestWithParam<WriteCase>
{
};

TEST_P(WithIniValueTest, ChangesOnlyTheOneLine)
{
    const WriteCase &c = GetParam();
    const std::string after = withIniValue(c.before, "s", c.key, c.value, Codeset::Utf8);
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(findIniValue(after, "s", c.key, Codeset::Utf8), std::string(trimmedIniValue(c.value)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WithIniValueTest,
    ::testing::Values(
        WriteCase{"new_text", "", "k", "v", "[s]\r\nk=v\r\n"},
        WriteCase{"new_section_at_end", "[t]\r\na=1\r\n", "k", "v", "[t]\r\na=1\r\n[s]\r\nk=v\r\n"},
        WriteCase{"new_section_after_unbroken_last_line", "[t]\r\na=1", "k", "v", "[t]\r\na=1\r\n[s]\r\nk=v\r\n"},
        WriteCase{"replace_in_place", "[s]\r\nj=1\r\nk=old\r\nl=3\r\n", "k", "new", "[s]\r\nj=1\r\nk=new\r\nl=3\r\n"},
        WriteCase{"replace_keeps_spelling_spaces_and_line_end", "[S]\n K = old \nl=3\n", "k", "new",
                  "[S]\n K =new\nl=3\n"},
        WriteCase{"replace_last_unbroken_line", "[s]\r\nk=old", "k", "new", "[s]\r\nk=new"},
        WriteCase{"replace_with_empty_value", "[s]\r\nk=old\r\n", "k", "", "[s]\r\nk=\r\n"},
        WriteCase{"append_empty_value", "[s]\r\n", "k", "", "[s]\r\nk=\r\n"},
        WriteCase{"append_after_last_key_before_blank_lines", "[s]\r\na=1\r\n\r\n[t]\r\nk=9\r\n", "k", "v",
                  "[s]\r\na=1\r\nk=v\r\n\r\n[t]\r\nk=9\r\n"},
        WriteCase{"append_to_header_without_line_break", "[s]", "k", "v", "[s]\r\nk=v\r\n"},
        WriteCase{"append_to_lf_file", "[s]\na=1\n", "k", "v", "[s]\na=1\nk=v\r\n"},
        WriteCase{"unknown_lines_survive", "; comment\r\n[s]\r\ngarbage line\r\n[t\r\n", "k", "v",
                  "; comment\r\n[s]\r\ngarbage line\r\n[t\r\nk=v\r\n"},
        WriteCase{"byte_order_mark_kept", std::string(kBom) + "[s]\r\nk=1\r\n", "k", "2",
                  std::string(kBom) + "[s]\r\nk=2\r\n"},
        WriteCase{"byte_order_mark_only", std::string(kBom), "k", "v", std::string(kBom) + "[s]\r\nk=v\r\n"},
        WriteCase{"first_of_duplicate_sections", "[s]\r\na=1\r\n[s]\r\nk=2\r\n", "k", "v",
                  "[s]\r\na=1\r\nk=v\r\n[s]\r\nk=2\r\n"}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(IniEntryProblem, RefusesWhatWouldBreakTheFile)
{
    EXPECT_EQ(iniEntryProblem("s", "k", ""), "");
    EXPECT_EQ(iniEntryProblem("s", "k", "a=b ;[x]"), "");
    EXPECT_NE(iniEntryProblem("s", "k", "a\r\n[t]\r\nx=1"), "");
    EXPECT_NE(iniEntryProblem("s", "k", "a\nb"), "");
    EXPECT_NE(iniEntryProblem("s", "k", std::string("a\0b", 3)), "");
    EXPECT_NE(iniEntryProblem("s]", "k", "v"), "");
    EXPECT_NE(iniEntryProblem("s", "k=", "v"), "");
    EXPECT_NE(iniEntryProblem("s", "[k", "v"), "");
    EXPECT_NE(iniEntryProblem("", "k", "v"), "");
    EXPECT_NE(iniEntryProblem("s", " k", "v"), "");
    EXPECT_EQ(withIniValue("[s]\r\n", "s", "k", "a\r\nb", Codeset::Utf8), "[s]\r\n");
}

// ---- On files ----

class IniFileTest : public ::testing::Test
{
  protected:
    void TearDown() override { text::setSystemCodeset(Codeset::Utf8); }

    TempDir m_dir;
    std::string m_file = m_dir / "config.ini";
};

TEST_F(IniFileTest, MissingFileReadsEmptyAndIsCreatedOnWrite)
{
    EXPECT_EQ(readIniValue(m_file, "zhuce", "k"), "");
    EXPECT_EQ(writeIniValue(m_file, "zhuce", "k", "v"), "");
    EXPECT_EQ(readFile(m_file), "[zhuce]\r\nk=v\r\n");
    EXPECT_EQ(writeIniValue(m_file, "zhuce", "j", ""), "");
    EXPECT_EQ(readFile(m_file), "[zhuce]\r\nk=v\r\nj=\r\n");
    EXPECT_EQ(readIniValue(m_file, "zhuce", "j"), "");
}

TEST_F(IniFileTest, LongValuesComeBackWhole)
{
    std::string value;
    for (int i = 0; value.size() < 100000; ++i)
        value += "/home/user/folder" + std::to_string(i) + ",";
    ASSERT_EQ(writeIniValue(m_file, "lb", "bxjl", value), "");
    ASSERT_EQ(writeIniValue(m_file, "lb", "gxbx", "0"), "");
    EXPECT_EQ(readIniValue(m_file, "lb", "bxjl"), value);
    EXPECT_EQ(readIniValue(m_file, "lb", "gxbx"), "0");
}

TEST_F(IniFileTest, OtherSectionsKeysAndLinesSurviveAWrite)
{
    const std::string before = "; kept\n[other]\nx = 1\nstray\n\n[zhuce]\r\nk=old\r\nj=2\r\n[tail]\ny=3";
    writeFile(m_file, before);
    ASSERT_EQ(writeIniValue(m_file, "zhuce", "k", "new"), "");
    EXPECT_EQ(readFile(m_file), "; kept\n[other]\nx = 1\nstray\n\n[zhuce]\r\nk=new\r\nj=2\r\n[tail]\ny=3");
    ASSERT_EQ(writeIniValue(m_file, "tail", "z", "4"), "");
    EXPECT_EQ(readFile(m_file), "; kept\n[other]\nx = 1\nstray\n\n[zhuce]\r\nk=new\r\nj=2\r\n[tail]\ny=3\r\nz=4\r\n");
}

TEST_F(IniFileTest, GbkFileOfAnOlderCopyIsReadAndRewrittenInUtf8)
{
    // "[zhuce]" "精确=假" "保存路径=真" in GBK, CR LF.
    writeFile(m_file, "[zhuce]\r\n\xBE\xAB\xC8\xB7=\xBC\xD9\r\n\xB1\xA3\xB4\xE6\xC2\xB7\xBE\xB6=\xD5\xE6\r\n");
    EXPECT_EQ(readIniValue(m_file, "zhuce", "精确"), "假");
    EXPECT_EQ(readIniValue(m_file, "zhuce", "保存路径"), "真");
    ASSERT_EQ(writeIniValue(m_file, "zhuce", "精确", "真"), "");
    EXPECT_EQ(readFile(m_file), "[zhuce]\r\n精确=真\r\n保存路径=真\r\n");
}

TEST_F(IniFileTest, GbkCodesetReadsAndWritesGbkBytes)
{
    text::setSystemCodeset(Codeset::Gbk);
    writeFile(m_file, "[zhuce]\r\n\xBE\xAB\xC8\xB7=\xBC\xD9\r\n");
    EXPECT_EQ(readIniValue(m_file, "zhuce", "\xBE\xAB\xC8\xB7"), "\xBC\xD9");
    ASSERT_EQ(writeIniValue(m_file, "zhuce", "\xBE\xAB\xC8\xB7", "\xD5\xE6"), "");
    EXPECT_EQ(readFile(m_file), "[zhuce]\r\n\xBE\xAB\xC8\xB7=\xD5\xE6\r\n");
}

TEST_F(IniFileTest, UnfitValueIsRefusedAndTheFileUntouched)
{
    writeFile(m_file, "[lb]\r\nbxjl=a,\r\n");
    EXPECT_NE(writeIniValue(m_file, "lb", "bxjl", "a\r\n[zhuce]\r\n精确=假"), "");
    EXPECT_EQ(readFile(m_file), "[lb]\r\nbxjl=a,\r\n");
}

TEST_F(IniFileTest, SeveralKeysGoInOneReplacement)
{
    ASSERT_EQ(writeIniValues(m_file, "lb", {{"bxjl", "a,b,"}, {"gxbx", "1"}}), "");
    EXPECT_EQ(readFile(m_file), "[lb]\r\nbxjl=a,b,\r\ngxbx=1\r\n");
    EXPECT_NE(writeIniValues(m_file, "lb", {{"bxjl", "c,"}, {"gxbx", "0\n"}}), "");
    EXPECT_EQ(readFile(m_file), "[lb]\r\nbxjl=a,b,\r\ngxbx=1\r\n");
}

TEST_F(IniFileTest, FileThatCannotBeReadIsNotOverwritten)
{
    // A folder where the file should be: reading fails, and writing must not replace
    // what it cannot see.
    std::filesystem::create_directory(m_file);
    writeFile(m_file + "/inside", "x");
    EXPECT_EQ(readIniValue(m_file, "zhuce", "k"), "");
    EXPECT_NE(writeIniValue(m_file, "zhuce", "k", "v"), "");
    EXPECT_TRUE(std::filesystem::is_directory(m_file));
    EXPECT_EQ(readFile(m_file + "/inside"), "x");
}

std::size_t entryCount(const std::string &folder)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST_F(IniFileTest, FullDiskLeavesTheOldFileIntact)
{
    const std::string before = "[zhuce]\r\nk=old\r\n[other]\r\nx=1\r\n";
    writeFile(m_file, before);
    const int code = quorvel::testing::runInChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 2;
        return writeIniValue(m_file, "zhuce", "k", std::string(4096, 'n')).empty() ? 1 : 0;
    });
    EXPECT_EQ(code, 0) << "the write should have failed and said so";
    EXPECT_EQ(readFile(m_file), before);
    EXPECT_EQ(entryCount(m_dir.path()), 1u) << "no temporary file may stay behind";
}

TEST_F(IniFileTest, ReadOnlyFolderLeavesTheOldFileIntact)
{
    const std::string before = "[zhuce]\r\nk=old\r\n";
    const std::string folder = m_dir / "ro";
    std::filesystem::create_directory(folder);
    const std::string file = folder + "/config.ini";
    writeFile(file, before);
    // Readable by anyone, writable by no one but root.
    ::chmod(m_dir.path().c_str(), 0755);
    ::chmod(folder.c_str(), 0755);
    ::chmod(file.c_str(), 0666);
    const int code = quorvel::testing::runAsNobody([&] {
        if (readIniValue(file, "zhuce", "k") != "old")
            return 3;
        return writeIniValue(file, "zhuce", "k", "new").empty() ? 1 : 0;
    });
    EXPECT_EQ(code, 0) << "the write should have failed and said so";
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(entryCount(folder), 1u);
}

} // namespace
