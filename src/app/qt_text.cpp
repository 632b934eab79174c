#include "app/qt_text.h"

#include <QFile>

#include <unistd.h>

#include <cstdlib>

#include "text/codeset.h"
#include "text/conversion.h"

namespace quorvel {

QString toDisplay(std::string_view bytes)
{
    const std::string utf8 = text::toDisplayUtf8(bytes, text::systemCodeset());
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string fromDisplay(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return text::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                          text::systemCodeset());
}

std::string fromQtPath(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QUrl fileUrlOf(std::string_view path)
{
    QByteArray raw(path.data(), static_cast<qsizetype>(path.size()));
    if (!raw.startsWith('/')) {
        // A row found below a relative root: a URL needs the absolute path.
        char *cwd = ::getcwd(nullptr, 0);
        raw.prepend('/').prepend(cwd ? QByteArray(cwd) : QByteArray());
        std::free(cwd);
    }
    return QUrl::fromEncoded(QByteArray("file://") + raw.toPercentEncoding("/"), QUrl::StrictMode);
}

std::string pathOfFileUrl(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    const QByteArray raw = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return std::string(raw.constData(), static_cast<std::size_t>(raw.size()));
}

} // namespace quorvel
