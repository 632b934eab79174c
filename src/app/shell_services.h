#pragma once

#include <string>
#include <vector>

class QWidget;

namespace quorvel {

// Every modal dialog and desktop hand-off of the window goes through this interface, so the
// window tests can script them: the program uses DesktopShell, the tests a scripted one.
// Paths are byte strings in the system codeset.
class ShellServices
{
  public:
    virtual ~ShellServices() = default;

    // A modal message box with one OK button.
    virtual void showMessage(const std::string &text, const std::string &caption) = 0;
    // A modal message box with OK and Cancel; true only when OK is chosen.
    virtual bool askOkCancel(const std::string &text, const std::string &caption) = 0;
    // The folder chooser with the given title; the empty text when the user cancels.
    virtual std::string chooseFolder(const std::string &title) = 0;
    // Opens a path with its associated program.
    virtual void openPath(const std::string &path) = 0;
    // Shows the folder that holds path with the entry selected.
    virtual void showInFolder(const std::string &path) = 0;
    // Puts a list of files on the clipboard for a file manager to paste.
    virtual void putFilesOnClipboard(const std::vector<std::string> &paths) = 0;
};

} // namespace quorvel
