// Scanning the hardware description directory.
#include <gtest/gtest.h>

#include "catalog/cmoduletypes.h"
#include "catalog/descriptionpaths.h"
#include "messagelog.h"
#include "xml_fixture.h"

namespace {

QByteArray assemblyFor(const char* type)
{
    return QByteArray("<Assemblies><Module version=\"0.1\" type=\"") + type + "\"/></Assemblies>";
}

TEST(ModuleTypesScan, RecordsEachDescribedTypeInCaseInsensitiveOrder)
{
    XmlFixture fx;
    // "A" then "b": the later one wins for MARDEX.
    fx.write("types/A/assembly.xml", assemblyFor("MARDEX"));
    fx.write("types/b/assembly.xml", assemblyFor("MARDEX"));
    // "a" then "B" (plain byte order would give B, a): B wins for HESTRA.
    fx.write("types/B/assembly.xml", assemblyFor("HESTRA"));
    fx.write("types/a/assembly.xml", assemblyFor("HESTRA"));
    fx.write("types/pendro/assembly.xml", assemblyFor("PENDRO"));
    fx.write("types/odd/assembly.xml", assemblyFor("Pending"));            // not a table name: type 0
    fx.write("types/broken/assembly.xml", "<Assemblies><Module version=\"0.1\" type=\"ARVEL\">");
    fx.write("types/old/assembly.xml", "<r><Module version=\"0.0\" type=\"BRINDO\"/></r>");
    fx.write("types/empty/readme.txt", "no description here");
    fx.write("types/assembly.xml", assemblyFor("CADMER"));                  // a plain file: ignored

    CModuleTypes types(fx.root());
    EXPECT_TRUE(types.FindType(14).isEmpty()); // nothing before the scan
    types.FindTypes();

    const QString base = fx.root() + QStringLiteral("/types/");
    struct Case { int type; QString dir; };
    const Case cases[] = {
        {14, base + "b/"}, {5, base + "B/"}, {18, base + "pendro/"}, {0, base + "odd/"},
        {1, QString()}, {2, QString()}, {3, QString()}, {19, QString()}, {40, QString()}, {-1, QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(types.FindType(c.type), c.dir) << c.type;
        EXPECT_EQ(types.HasType(c.type), !c.dir.isEmpty()) << c.type;
    }
    // The recorded directory plus the file name is the description path.
    EXPECT_TRUE(QFile::exists(types.FindType(18) + QStringLiteral("assembly.xml")));
}

TEST(ModuleTypesScan, MissingTypesDirectoryLeavesCatalogueEmpty)
{
    XmlFixture fx;
    // The path is printed in quotes as it is, quote and backslash included.
    const QString resources = fx.path("no\"where\\");
    CModuleTypes types(resources);
    tovik::test::MessageLog debug;
    types.FindTypes();
    for (int type = 0; type <= 33; ++type)
        EXPECT_TRUE(types.FindType(type).isEmpty());
    ASSERT_EQ(debug.Lines(QtDebugMsg).size(), 1);
    EXPECT_EQ(debug.Lines(QtDebugMsg)[0], QStringLiteral("CModuleTypes::FindTypes - ERROR - Failed to locate resource director  \"") +
                             resources + QStringLiteral("/types\""));
}

} // namespace

namespace {

// Names in an assembly that leave the types folder are not followed.
TEST(DescriptionPathsTest, ModuleTypeFilesStayInsideTheTypesFolder)
{
    XmlFixture fx;
    fx.write("types/hestra/hestra.xml", "<r/>");
    fx.write("outside/secret.xml", "<r/>");
    fx.write("top.xml", "<r/>");
    const QString root = fx.root();
    ASSERT_TRUE(QFile::link(fx.path("outside"), fx.path("types/out")));
    ASSERT_TRUE(QFile::link(fx.path("outside/secret.xml"), fx.path("types/hestra/link.xml")));
    ASSERT_TRUE(QFile::link(fx.path("types/hestra/hestra.xml"), fx.path("types/alias.xml")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/etc/passwd"), fx.path("types/passwd.xml")));

    struct Case {
        const char* name;
        bool followed;
    };
    const Case cases[] = {
        {"types/hestra/hestra.xml", true},
        {"types//hestra/./hestra.xml", true},
        {"types/alias.xml", true},           // a link that stays inside
        {"types/hestra/missing.xml", true},  // its open fails as before
        {"../../../../etc/passwd", false},
        {"types/../../outside/secret.xml", false},
        {"types/hestra/../hestra/hestra.xml", false},
        {"/etc/passwd", false},
        {"top.xml", false},                  // the resource directory, not its types folder
        {"types/out/secret.xml", false},     // a folder linked out
        {"types/hestra/link.xml", false},    // a file linked out
        {"types/passwd.xml", false},
        {"types", false},
        {"", false},
    };
    for (const Case& c : cases) {
        const QString file = DescriptionPaths::ModuleTypeFile(root, QString::fromLatin1(c.name));
        EXPECT_EQ(!file.isEmpty(), c.followed) << c.name;
        if (c.followed) {
            EXPECT_EQ(file, root + "/" + c.name) << c.name;
        }
    }
}

TEST(ModuleTypesScan, FoldersLinkedOutOfTheTypesFolderAreNotRead)
{
    XmlFixture fx;
    fx.write("types/mardex/assembly.xml", assemblyFor("MARDEX"));
    fx.write("elsewhere/assembly.xml", assemblyFor("HESTRA"));
    fx.write("elsewhere2/assembly.xml", assemblyFor("PENDRO"));
    ASSERT_TRUE(QFile::link(fx.path("elsewhere"), fx.path("types/hestra")));
    QDir().mkpath(fx.path("types/pendro"));
    ASSERT_TRUE(QFile::link(fx.path("elsewhere2/assembly.xml"), fx.path("types/pendro/assembly.xml")));
    ASSERT_TRUE(QFile::link(fx.path("types/mardex"), fx.path("types/mardex2")));

    tovik::test::MessageLog log;
    CModuleTypes types(fx.root());
    types.FindTypes();
    const QString base = fx.root() + QStringLiteral("/types/");
    EXPECT_EQ(types.FindType(14), base + "mardex2/") << "a link inside the folder is fine";
    EXPECT_FALSE(types.HasType(5));
    EXPECT_FALSE(types.HasType(18));
    EXPECT_TRUE(log.Contains(QStringLiteral("Hardware description %1hestra/assembly.xml lies outside %2/types; not read")
                                 .arg(base, fx.root())));
    EXPECT_TRUE(log.Has(QStringLiteral("Hardware description %1pendro/assembly.xml lies outside").arg(base)));
}

} // namespace
