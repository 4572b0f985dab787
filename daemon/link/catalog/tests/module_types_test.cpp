// Scanning the hardware description directory.
#include <gtest/gtest.h>

#include "catalog/cmoduletypes.h"
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
