// A fresh directory under $TMPDIR (or /tmp), removed with its contents.
#ifndef TOVIK_TEST_TEMPDIR_H
#define TOVIK_TEST_TEMPDIR_H

#include <string>

namespace tovik {
namespace test {

class TempDir {
public:
    explicit TempDir(const std::string& prefix = "tovik-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Empty when the directory could not be made.
    const std::string& Path() const { return _path; }
    // Path() + "/" + name.
    std::string File(const std::string& name) const { return _path + "/" + name; }

private:
    std::string _path;
};

} // namespace test
} // namespace tovik

#endif
