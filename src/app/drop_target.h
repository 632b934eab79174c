#pragma once

#include <QObject>

#include <string>
#include <vector>

namespace quorvel {

// The invisible drop target of the main window: once enabled, files and folders dropped
// anywhere on the window arrive as their raw paths, one per dropped item. Any other
// dropped data is refused.
class DropTarget : public QObject
{
    Q_OBJECT

  public:
    explicit DropTarget(QWidget *window);

    // Makes the window accept dropped files from now on.
    void enable();

  signals:
    void pathsDropped(const std::vector<std::string> &paths);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QWidget *m_window;
};

} // namespace quorvel
