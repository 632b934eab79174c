#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <string>
#include <string_view>

namespace quorvel {

// Text of the engine (bytes in the system codeset) shown in a control. Bytes that are not
// valid in the codeset show as U+FFFD; use this for display only, never to name a file.
QString toDisplay(std::string_view bytes);

// Text typed or chosen in a control, as engine bytes in the system codeset.
std::string fromDisplay(const QString &text);

// A path chosen in a Qt dialog (decoded with the file name codec) back to its bytes.
std::string fromQtPath(const QString &path);

// The file URL of a path given as raw bytes; every byte outside the URL's safe set is
// percent-encoded, so a name that is not valid text keeps its exact bytes.
QUrl fileUrlOf(std::string_view path);

// The raw bytes of a local file URL's path (percent-decoding the encoded form, so odd bytes
// survive); empty for a URL that is not a local file.
std::string pathOfFileUrl(const QUrl &url);

} // namespace quorvel
