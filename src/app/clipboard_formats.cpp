#include "app/clipboard_formats.h"

#include <QMimeData>

#include "app/qt_text.h"

namespace quorvel {

QMimeData *fileListMimeData(const std::vector<std::string> &paths)
{
    QByteArray uriList;
    QByteArray gnome("copy");
    QString plain;
    for (const std::string &path : paths) {
        const QByteArray uri = fileUrlOf(path).toEncoded();
        uriList += uri + "\r\n";
        gnome += "\n" + uri;
        if (!plain.isEmpty())
            plain += QLatin1Char('\n');
        plain += toDisplay(path);
    }
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("text/uri-list"), uriList);
    mime->setData(QStringLiteral("x-special/gnome-copied-files"), gnome);
    mime->setData(QStringLiteral("application/x-kde-cutselection"), QByteArray("0"));
    mime->setText(plain);
    return mime;
}

} // namespace quorvel
