// Where a test finds the source tree and the build tree: the trees this test
// was built from, or TOVIK_SOURCE_DIR and TOVIK_BUILD_DIR when set (as
// tests/replay/rebuild.sh does).
#ifndef TOVIK_TEST_TESTPATHS_H
#define TOVIK_TEST_TESTPATHS_H

#include <string>

namespace tovik {
namespace test {

std::string SourceDir();
std::string BuildDir();
// <build>/bin/<name>.
std::string BuildProgram(const std::string& name);

// Whether the path names anything, a dangling link included.
bool PathExists(const std::string& path);

} // namespace test
} // namespace tovik

#endif
