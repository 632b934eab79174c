#pragma once

#include "app/shell_services.h"

class QWidget;

namespace quorvel {

// The desktop's dialogs and hand-offs: Qt message boxes and folder dialog, the file's
// default application through xdg-open (QDesktopServices), the file manager's ShowItems call
// over D-Bus, and the clipboard formats that Linux file managers paste.
class DesktopShell : public ShellServices
{
  public:
    // The owner of the dialogs; may be set after construction.
    void setOwner(QWidget *owner) { m_owner = owner; }

    void showMessage(const std::string &text, const std::string &caption) override;
    bool askOkCancel(const std::string &text, const std::string &caption) override;
    std::string chooseFolder(const std::string &title) override;
    void openPath(const std::string &path) override;
    void showInFolder(const std::string &path) override;
    void putFilesOnClipboard(const std::vector<std::string> &paths) override;

  private:
    QWidget *m_owner = nullptr;
};

} // namespace quorvel
