#include "platform/resourcedir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace {

struct ResourceCase {
    const char* name;
    std::vector<const char*> dirs;  // made below a fresh root
    std::vector<const char*> files; // empty files made there
    const char* expected;          // relative to the root
};

// A build tree keeps types/ beside the program; an installed program finds
// it in share/portvane beside bin/; with neither, the program's directory.
TEST(ResourceDirTest, TypesBesideTheProgramOrInstalled)
{
    const std::vector<ResourceCase> cases = {
        {"build tree", {"bin/types", "share/portvane/types"}, {}, "bin"},
        {"installed", {"bin", "share/portvane/types"}, {}, "share/portvane"},
        {"neither", {"bin", "share/portvane"}, {}, "bin"},
        {"files named types", {"bin", "share/portvane"}, {"bin/types", "share/portvane/types"}, "bin"},
    };
    for (const ResourceCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        QDir dir(root.path());
        for (const char* d : c.dirs)
            ASSERT_TRUE(dir.mkpath(QString::fromLatin1(d)));
        for (const char* f : c.files) {
            QFile file(dir.filePath(QString::fromLatin1(f)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(ResourceDirFor(root.path() + QStringLiteral("/bin/")),
                  QDir::cleanPath(root.path() + '/' + QString::fromLatin1(c.expected)));
    }
}

} // namespace
