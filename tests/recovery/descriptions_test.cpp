// Hostile hardware description files beside a Portvane: each is refused
// with a line in the log, costs next to no memory, and the daemon goes on.
// The program is copied into a tree of its own, whose types/ folder holds
// the shipped descriptions with one of them replaced.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>
#include <string>

#include "childprocess.h"
#include "portvanerig.h"
#include "procstatus.h"

namespace {

namespace fs = std::filesystem;
using tovik::test::BuildDir;
using tovik::test::BuildProgram;
using tovik::test::PortvaneRig;
using tovik::test::WaitUntil;

std::string Repeated(const std::string& piece, int count)
{
    std::string out;
    out.reserve(piece.size() * size_t(count));
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

std::string HestraAssembly(const std::string& inner)
{
    return "<?xml version=\"1.0\"?>\n<Assemblies><Module version=\"0.1\" type=\"HESTRA\">" + inner +
           "</Module></Assemblies>\n";
}

std::string AssemblyNaming(const std::string& moduleTypeFile)
{
    return HestraAssembly("<Assembly id=\"1\"><Release version=\"1.2\"/><ModuleType filename=\"" + moduleTypeFile +
                          "\"/></Assembly>");
}

struct DescriptionCase {
    const char* name;
    std::string assembly; // types/hestra/assembly.xml
    const char* logged;   // a line the daemon writes, once
    bool described;       // the converter is bound with its description
};

std::vector<DescriptionCase> Cases()
{
    return {
        {"shipped", "", "", true},
        // 300,000 siblings in 3.3 MB.
        {"huge flat", HestraAssembly(Repeated("<Assembly/>", 300000)), "refused: more than 65536 bytes", false},
        {"flat within the size limit", HestraAssembly(Repeated("<Assembly/>", 1500)),
         "refused: more than 1024 elements and other nodes", false},
        {"many tags", HestraAssembly(Repeated("<Assembly/>", 5000)), "refused: 5005 tags, more than 2056", false},
        {"deep", HestraAssembly(Repeated("<a>", 1000) + Repeated("</a>", 1000)),
         "refused: elements nested more than 32 deep", false},
        {"over-long names", HestraAssembly("<" + std::string(1000, 'N') + " " + std::string(1000, 'a') + "=\"1\"/>"),
         "refused: element name of 1000 characters, more than 64", false},
        {"names past the streaming reader", HestraAssembly("<" + std::string(60000, 'N') + "/>"),
         "refused: Length of XML attribute name exceeds implementation limits", false},
        // Valid descriptions, but outside the types folder: not read, so the
        // converter has no configuration blocks and is not taken for long.
        {"path out of the folder", AssemblyNaming("../../../../etc/passwd"),
         "Hardware description ../../../../etc/passwd lies outside", false},
        {"path out through the resource directory", AssemblyNaming("outside.xml"),
         "Hardware description outside.xml lies outside", false},
        {"link out of the folder", AssemblyNaming("types/hestra/linked.xml"),
         "Hardware description types/hestra/linked.xml lies outside", false},
    };
}

// A copy of Portvane in a tree of its own: bin/Portvane, bin/types/ and the
// build's lib/.
class OwnTree {
public:
    explicit OwnTree(const std::string& root) : _root(root)
    {
        fs::create_directories(_root + "/bin");
        fs::create_directory_symlink(BuildDir() + "/lib", _root + "/lib");
        fs::copy_file(BuildProgram("Portvane"), Program());
        fs::copy(BuildDir() + "/bin/types", Types(), fs::copy_options::recursive);
        const std::string hestra = ReadText(Types() + "/hestra/hestra.xml");
        WriteText(_root + "/bin/outside.xml", hestra);
        WriteText(_root + "/elsewhere.xml", hestra);
        fs::create_symlink(_root + "/elsewhere.xml", Types() + "/hestra/linked.xml");
        _shipped = ReadText(Types() + "/hestra/assembly.xml");
    }
    std::string Program() const { return _root + "/bin/Portvane"; }
    std::string Types() const { return _root + "/bin/types"; }
    void UseAssembly(const std::string& text) { WriteText(Types() + "/hestra/assembly.xml", text.empty() ? _shipped : text); }

    static std::string ReadText(const std::string& path) { return tovik::test::ReadFile(path); }
    static void WriteText(const std::string& path, const std::string& text)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }

private:
    std::string _root;
    std::string _shipped;
};

TEST(DescriptionsTest, HostileFilesAreRefusedAtLittleCost)
{
    PortvaneRig rig("tovik-descriptions");
    ASSERT_TRUE(rig.StartStore());
    ASSERT_TRUE(rig.Plug("ttyA", 5));
    OwnTree tree(rig.Dir().File("tree"));

    long shippedPeak = -1;
    for (const DescriptionCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        tree.UseAssembly(c.assembly);
        ASSERT_TRUE(rig.StartDaemon(tree.Program()));
        // The first scan is over once the first slot is taken or found free.
        ASSERT_TRUE(WaitUntil(
            [&] {
                const std::string log = rig.DaemonLog();
                return log.find("\"Rozo 0 added") != std::string::npos || log.find("No mini found for pos 0") != std::string::npos;
            },
            30000))
            << rig.DaemonLog();
        // The first scan has read every description; a moment for the probes
        // that follow.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ASSERT_TRUE(rig.Daemon().Running());
        const long peak = tovik::test::StatusKiB(rig.Daemon().Pid(), "VmHWM");
        const std::string log = rig.DaemonLog();
        std::map<std::string, std::string> box = rig.Box();
        EXPECT_EQ(box["eParamID_Device_1_CxnStatus"] == "0", c.described) << log;
        if (*c.logged) {
            EXPECT_EQ(tovik::test::CountOf(log, c.logged), 1) << log;
        }
        if (shippedPeak < 0) {
            shippedPeak = peak;
        } else {
            std::printf("%s: peak resident %ld kB, with the shipped files %ld kB\n", c.name, peak, shippedPeak);
            EXPECT_LE(peak, shippedPeak + 8 * 1024);
        }
        EXPECT_EQ(rig.Daemon().Stop(SIGTERM, 10000), 0) << log;
    }
}

} // namespace
