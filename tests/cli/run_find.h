#pragma once

// Runs quorvel-find as a separate process, as a user runs it, and captures what it says.

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::testing {

struct FindRun {
    int status = -1;   // exit status; 128 + N when ended by signal N
    std::string out;   // standard output
    std::string err;   // standard error
    std::string after; // what FindSetup::afterRun returned
    std::string setup; // what FindSetup::beforeRun returned when it refused ("SKIP: ..." or a fault)
};

struct FindSetup {
    std::string stdinText;
    // Run as the unprivileged user 65534 (when the tests run as root), for whom
    // permissions hold.
    bool asNobody = false;
    // Variables set for the program (XDG_DATA_HOME, ...).
    std::vector<std::pair<std::string, std::string>> environment;
    // Runs in a child process before the program starts, with root's rights (a private
    // mount, a fixture on it); a non-empty answer stops the run and ends up in `setup`.
    std::function<std::string()> beforeRun;
    // Runs in the same child after the program has ended (what is left on that mount).
    std::function<std::string()> afterRun;
};

FindRun runFind(const std::vector<std::string> &args, const FindSetup &setup = {});

} // namespace quorvel::testing
