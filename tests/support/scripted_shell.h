#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/shell_services.h"

namespace quorvel::testing {

// The tests' stand-in for every dialog and desktop hand-off: answers come from queues the
// test fills beforehand, and every call is recorded for the test to read back.
class ScriptedShell : public ShellServices
{
  public:
    struct Message {
        std::string text;
        std::string caption;
    };

    void showMessage(const std::string &text, const std::string &caption) override;
    bool askOkCancel(const std::string &text, const std::string &caption) override;
    std::string chooseFolder(const std::string &title) override;
    void openPath(const std::string &path) override;
    void showInFolder(const std::string &path) override;
    void putFilesOnClipboard(const std::vector<std::string> &paths) override;

    // Answers for the next askOkCancel calls (default when empty: false) and the next
    // chooseFolder calls (default when empty: cancel).
    std::deque<bool> okCancelAnswers;
    std::deque<std::string> folderAnswers;

    std::vector<Message> messages;  // showMessage calls
    std::vector<Message> questions; // askOkCancel calls
    std::vector<std::string> folderTitles;
    std::vector<std::string> opened;
    std::vector<std::string> shownInFolder;
    std::vector<std::vector<std::string>> clipboardLists;
};

} // namespace quorvel::testing
