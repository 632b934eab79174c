#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// The folder that holds the program's own files (config.ini, gxbx.ini, filemame.txt, the
// not-found report), without a trailing "/" (the root stays "/"):
// - $QUORVEL_HOME when it is set and not empty;
// - else the folder of the executable when the user may write there (portable use);
// - else $XDG_CONFIG_HOME/quorvel when XDG_CONFIG_HOME is an absolute path, else
//   ~/.config/quorvel.
// Asking creates nothing, so a program that only reads leaves no trace; writers call
// ensureProgramFolder first. Decided anew at each call (it is cheap), so a change of the
// environment takes effect at once.
std::string programFolder();

// Creates programFolder() and any missing parents (mode 0700, as the user's configuration
// folders are) when it does not exist yet. Returns the empty text on success or when it
// exists, else why it could not be made.
std::string ensureProgramFolder();

// folder + "/" + name, without doubling the "/" after the root.
std::string fileInFolder(std::string_view folder, std::string_view name);

} // namespace quorvel
