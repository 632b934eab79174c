#pragma once

#include <array>
#include <string>
#include <string_view>

#include "text/codeset.h"

// The eight options of the main window that survive a restart, kept in config.ini of the
// program's folder, section "zhuce", as the texts "真" (true) and "假" (false) in the
// system codeset. An option is written the moment the user changes it and read once at
// start; a missing or unreadable file reads as the defaults, and a failed write is lost
// without a message (the functions still say why, for tests and logs).
namespace quorvel {

inline constexpr std::string_view kOptionsFileName = "config.ini";
inline constexpr std::string_view kOptionsSection = "zhuce";

// The keys, in the order in which the window restores them.
enum class OptionKey {
    WholeComputer,       // "全盘搜索": search every fixed disk instead of the checked folders
    Exact,               // "精确": exact matching; only "假" selects fuzzy matching
    RenameOnClash,       // "同名文件自动更名": copy and move give a new name on a name clash
    FolderNamesOnly,     // "是否只搜索目录名": match folder names instead of file names
    SaveKeywords,        // "保存关键字": keep the keyword text between runs
    DisableDeleteButton, // "禁用删除按钮"
    DisableMoveButton,   // "禁用移动按钮"
    SavePaths,           // "保存路径": keep the folder list between runs
};

inline constexpr std::array<OptionKey, 8> kOptionKeys = {
    OptionKey::WholeComputer,     OptionKey::Exact,        OptionKey::RenameOnClash,
    OptionKey::FolderNamesOnly,   OptionKey::SaveKeywords, OptionKey::DisableDeleteButton,
    OptionKey::DisableMoveButton, OptionKey::SavePaths,
};

// The key's name as stored in the file, in the codeset.
std::string optionKeyName(OptionKey key, text::Codeset codeset);
// "真" and "假" in the codeset: UTF-8 E7 9C 9F / E5 81 87, GBK D5 E6 / BC D9.
std::string trueText(text::Codeset codeset);
std::string falseText(text::Codeset codeset);
// trueText or falseText.
std::string optionText(bool value, text::Codeset codeset);

// True only when the value is exactly "真", byte for byte (no spaces, no other case).
bool isTrueValue(std::string_view value, text::Codeset codeset);
// For "精确": only exactly "假" selects fuzzy matching; empty, missing or any other value is exact.
bool selectsExactMatching(std::string_view value, text::Codeset codeset);

// The stored value of the key in folder/config.ini (system codeset), or the empty text
// when the file or the key is missing.
std::string readOption(const std::string &folder, OptionKey key);
// Stores the value under the key in folder/config.ini (the folder must exist: see
// ensureProgramFolder). Returns the empty text on success, else why nothing was written.
std::string writeOption(const std::string &folder, OptionKey key, std::string_view value);
// writeOption with "真" or "假".
std::string writeOption(const std::string &folder, OptionKey key, bool value);

// All eight options decoded by the reading rules; the defaults are what a missing file gives.
struct Options {
    bool wholeComputer = false;
    bool exact = true;
    bool renameOnClash = false;
    bool folderNamesOnly = false;
    bool saveKeywords = false;
    bool disableDeleteButton = false;
    bool disableMoveButton = false;
    bool savePaths = false;

    bool operator==(const Options &) const = default;
};

// Reads folder/config.ini once and decodes every key.
Options readOptions(const std::string &folder);

// The decoded value of one key, for code that walks kOptionKeys.
bool optionValue(const Options &options, OptionKey key);

} // namespace quorvel
