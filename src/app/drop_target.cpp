#include "app/drop_target.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

#include "app/qt_text.h"

namespace quorvel {
namespace {

std::vector<std::string> localPaths(const QMimeData *mime)
{
    std::vector<std::string> paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        std::string path = pathOfFileUrl(url);
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    return paths;
}

} // namespace

DropTarget::DropTarget(QWidget *window) : QObject(window), m_window(window)
{
    setObjectName(QStringLiteral("拖放对象"));
}

void DropTarget::enable()
{
    m_window->setAcceptDrops(true);
    // Watched application-wide: a child that takes drops itself (the keyword box takes text)
    // would otherwise keep dropped files from the window.
    qApp->installEventFilter(this);
}

bool DropTarget::eventFilter(QObject *watched, QEvent *event)
{
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto *drag = static_cast<QDropEvent *>(event);
        if (localPaths(drag->mimeData()).empty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto *drop = static_cast<QDropEvent *>(event);
        std::vector<std::string> paths = localPaths(drop->mimeData());
        if (paths.empty())
            return false;
        drop->acceptProposedAction();
        emit pathsDropped(paths);
        return true;
    }
    return false;
}

} // namespace quorvel
