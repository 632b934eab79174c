#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// The whole content of a file, or nothing when it is missing or cannot be read (errno
// tells why).
std::optional<std::string> readWholeFile(const std::string &path);

// Replaces the file at path with exactly these bytes: they are written to a temporary file
// in the same folder, flushed to disk and renamed over the old file, so a crash, a full
// disk or any failure leaves either the old file or the new one, never a half-written one.
// A new file gets mode 0666 less the umask; an existing file keeps its mode. Returns the
// empty text on success, else the reason of the failure (the strerror text, with the step
// that failed).
std::string writeWholeFileAtomically(const std::string &path, std::string_view bytes);

} // namespace quorvel
