#pragma once

#include <functional>

namespace quorvel::testing {

// Runs body in a forked child process and returns its exit code (128 + the signal number
// when a signal ended it). Whatever the child changes (limits, identity) stays in the child.
int runInChild(const std::function<int()> &body);

// As runInChild, with the child running as the unprivileged user and group 65534 and no
// supplementary groups, so that permissions hold (the tests run as root).
int runAsNobody(const std::function<int()> &body);

inline constexpr unsigned kNobody = 65534;

} // namespace quorvel::testing
