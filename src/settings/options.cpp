#include "settings/options.h"

#include "settings/ini_file.h"
#include "settings/program_folder.h"
#include "text/conversion.h"

namespace quorvel {
namespace {

using text::Codeset;

// The names and truth texts in UTF-8; the GBK forms are converted from them.
std::string_view utf8KeyName(OptionKey key)
{
    switch (key) {
    case OptionKey::WholeComputer:
        return "全盘搜索";
    case OptionKey::Exact:
        return "精确";
    case OptionKey::RenameOnClash:
        return "同名文件自动更名";
    case OptionKey::FolderNamesOnly:
        return "是否只搜索目录名";
    case OptionKey::SaveKeywords:
        return "保存关键字";
    case OptionKey::DisableDeleteButton:
        return "禁用删除按钮";
    case OptionKey::DisableMoveButton:
        return "禁用移动按钮";
    case OptionKey::SavePaths:
        return "保存路径";
    }
    return {};
}

std::string optionsFile(const std::string &folder)
{
    return fileInFolder(folder, kOptionsFileName);
}

bool decode(OptionKey key, std::string_view value, Codeset codeset)
{
    return key == OptionKey::Exact ? selectsExactMatching(value, codeset) : isTrueValue(value, codeset);
}

} // namespace

std::string optionKeyName(OptionKey key, Codeset codeset)
{
    return text::fromUtf8(utf8KeyName(key), codeset);
}

std::string trueText(Codeset codeset)
{
    return codeset == Codeset::Utf8 ? "\xE7\x9C\x9F" : "\xD5\xE6";
}

std::string falseText(Codeset codeset)
{
    return codeset == Codeset::Utf8 ? "\xE5\x81\x87" : "\xBC\xD9";
}

std::string optionText(bool value, Codeset codeset)
{
    return value ? trueText(codeset) : falseText(codeset);
}

bool isTrueValue(std::string_view value, Codeset codeset)
{
    return value == trueText(codeset);
}

bool selectsExactMatching(std::string_view value, Codeset codeset)
{
    return value != falseText(codeset);
}

std::string readOption(const std::string &folder, OptionKey key)
{
    return readIniValue(optionsFile(folder), kOptionsSection, optionKeyName(key, text::systemCodeset()));
}

std::string writeOption(const std::string &folder, OptionKey key, std::string_view value)
{
    return writeIniValue(optionsFile(folder), kOptionsSection, optionKeyName(key, text::systemCodeset()), value);
}

std::string writeOption(const std::string &folder, OptionKey key, bool value)
{
    return writeOption(folder, key, optionText(value, text::systemCodeset()));
}

bool optionValue(const Options &options, OptionKey key)
{
    switch (key) {
    case OptionKey::WholeComputer:
        return options.wholeComputer;
    case OptionKey::Exact:
        return options.exact;
    case OptionKey::RenameOnClash:
        return options.renameOnClash;
    case OptionKey::FolderNamesOnly:
        return options.folderNamesOnly;
    case OptionKey::SaveKeywords:
        return options.saveKeywords;
    case OptionKey::DisableDeleteButton:
        return options.disableDeleteButton;
    case OptionKey::DisableMoveButton:
        return options.disableMoveButton;
    case OptionKey::SavePaths:
        return options.savePaths;
    }
    return false;
}

Options readOptions(const std::string &folder)
{
    const Codeset codeset = text::systemCodeset();
    const std::string content = readIniText(optionsFile(folder));
    const auto value = [&](OptionKey key) {
        const std::string stored =
            findIniValue(content, kOptionsSection, optionKeyName(key, codeset), codeset).value_or(std::string());
        return decode(key, stored, codeset);
    };
    Options options;
    options.wholeComputer = value(OptionKey::WholeComputer);
    options.exact = value(OptionKey::Exact);
    options.renameOnClash = value(OptionKey::RenameOnClash);
    options.folderNamesOnly = value(OptionKey::FolderNamesOnly);
    options.saveKeywords = value(OptionKey::SaveKeywords);
    options.disableDeleteButton = value(OptionKey::DisableDeleteButton);
    options.disableMoveButton = value(OptionKey::DisableMoveButton);
    options.savePaths = value(OptionKey::SavePaths);
    return options;
}

} // namespace quorvel
