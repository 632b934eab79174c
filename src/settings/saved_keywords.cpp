#include "settings/saved_keywords.h"

#include <optional>

#include "settings/program_folder.h"
#include "settings/whole_file.h"
#include "text/conversion.h"

namespace quorvel {

std::string readSavedKeywords(const std::string &folder)
{
    const std::optional<std::string> bytes = readWholeFile(fileInFolder(folder, kKeywordsFileName));
    if (!bytes)
        return {};
    const std::string_view upToZero = std::string_view(*bytes).substr(0, bytes->find('\0'));
    return text::fromProgramFile(upToZero, text::systemCodeset());
}

std::string writeSavedKeywords(const std::string &folder, std::string_view text)
{
    return writeWholeFileAtomically(fileInFolder(folder, kKeywordsFileName), text);
}

} // namespace quorvel
