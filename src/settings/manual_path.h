// Where "Help Topics ..." finds the user manual: the installed copy beside
// the program's prefix first, then the copy in the build tree.
#pragma once

#include <string>
#include <vector>

namespace vexal {

// The manual's front page, in the order it is looked for: for a program in
// <prefix>/bin, <prefix>/share/doc/vexal/manual/index.html; then
// buildTreeManual when it is not empty.
std::vector<std::string> ManualLocations(const std::string& executablePath,
                                         const std::string& buildTreeManual);

// The first of locations that is a file, or "".
std::string FindManual(const std::vector<std::string>& locations);

}  // namespace vexal
