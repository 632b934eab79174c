#pragma once

#include <random>
#include <string>
#include <vector>

#include "text/codeset.h"

namespace quorvel::testing {

// Builds a random tree below root for differential tests: folders and files whose names mix
// case, dots, spaces, multibyte characters of the codeset, bytes that are not valid in it
// and a newline; links to folders, to files, dangling links and a link back up (a cycle).
// Returns a keyword list drawn from the names (pieces, case changed, duplicated) plus noise.
std::vector<std::string> makeRandomTree(const std::string &root, unsigned seed, text::Codeset codeset);

// Up to maxPieces pieces drawn at random from `pieces`, joined: random names and keywords
// whose pieces a test picks to reach its edge cases.
std::string joinRandomPieces(std::mt19937 &rng, const std::vector<std::string> &pieces, int maxPieces);

} // namespace quorvel::testing
