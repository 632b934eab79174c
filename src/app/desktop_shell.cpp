#include "app/desktop_shell.h"

#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

#include "app/clipboard_formats.h"
#include "app/qt_text.h"

namespace quorvel {

void DesktopShell::showMessage(const std::string &text, const std::string &caption)
{
    QMessageBox::information(m_owner, toDisplay(caption), toDisplay(text), QMessageBox::Ok);
}

bool DesktopShell::askOkCancel(const std::string &text, const std::string &caption)
{
    return QMessageBox::question(m_owner, toDisplay(caption), toDisplay(text), QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

std::string DesktopShell::chooseFolder(const std::string &title)
{
    const QString folder =
        QFileDialog::getExistingDirectory(m_owner, toDisplay(title), QString(), QFileDialog::ShowDirsOnly);
    return folder.isEmpty() ? std::string() : fromQtPath(folder);
}

void DesktopShell::openPath(const std::string &path)
{
    // xdg-open through Qt: the path travels as a URL, never through a shell command line.
    QDesktopServices::openUrl(fileUrlOf(path));
}

void DesktopShell::showInFolder(const std::string &path)
{
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface()) {
        const auto registered = bus.interface()->isServiceRegistered(service);
        const auto activatable = bus.interface()->activatableServiceNames();
        if ((registered.isValid() && registered.value()) ||
            (activatable.isValid() && activatable.value().contains(service))) {
            QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/FileManager1"),
                                                               service, QStringLiteral("ShowItems"));
            call << QStringList{QString::fromLatin1(fileUrlOf(path).toEncoded())} << QString();
            const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
            if (reply.type() == QDBusMessage::ReplyMessage)
                return;
        }
    }
    // No file manager answers: open the folder that holds the entry.
    std::string folder = path;
    const std::size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? std::string(".") : (slash == 0 ? std::string("/") : folder.substr(0, slash));
    QDesktopServices::openUrl(fileUrlOf(folder));
}

void DesktopShell::putFilesOnClipboard(const std::vector<std::string> &paths)
{
    QApplication::clipboard()->setMimeData(fileListMimeData(paths));
}

} // namespace quorvel
