#pragma once

#include <string>
#include <vector>

class QMimeData;

namespace quorvel {

// A file list as Linux file managers paste it, in the order given: text/uri-list (each URI
// followed by CR LF), x-special/gnome-copied-files ("copy", then the URIs, LF between, no
// line break at the end), application/x-kde-cutselection "0", and the paths as plain text
// (one per line).
QMimeData *fileListMimeData(const std::vector<std::string> &paths);

} // namespace quorvel
