#include "support/scripted_shell.h"

namespace quorvel::testing {

void ScriptedShell::showMessage(const std::string &text, const std::string &caption)
{
    messages.push_back({text, caption});
}

bool ScriptedShell::askOkCancel(const std::string &text, const std::string &caption)
{
    questions.push_back({text, caption});
    if (okCancelAnswers.empty())
        return false;
    const bool answer = okCancelAnswers.front();
    okCancelAnswers.pop_front();
    return answer;
}

std::string ScriptedShell::chooseFolder(const std::string &title)
{
    folderTitles.push_back(title);
    if (folderAnswers.empty())
        return {};
    std::string answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

void ScriptedShell::openPath(const std::string &path)
{
    opened.push_back(path);
}

void ScriptedShell::showInFolder(const std::string &path)
{
    shownInFolder.push_back(path);
}

void ScriptedShell::putFilesOnClipboard(const std::vector<std::string> &paths)
{
    clipboardLists.push_back(paths);
}

} // namespace quorvel::testing
