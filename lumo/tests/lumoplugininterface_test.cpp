// Plug-in loading over small test libraries (plugins/testplugin.cpp), one
// folder per case: open failures, requirement chains and cycles, a failed
// init and the unloading that follows, debug builds, "${ORIGIN}".
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <syslog.h>

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include "logcapture.h"
#include "lumo/lumo.h"
#include "lumo/lumoplugininterface.h"
#include "qtprint.h"

namespace {

QString folder(char const* name)
{
    return QStringLiteral(LUMO_PLUGIN_ROOT "/") + QLatin1String(name);
}

QString library(char const* folderName, char const* file)
{
    return folder(folderName) + QLatin1Char('/') + QLatin1String(file);
}

// Whether the library is loaded in this process now.
bool loaded(QString const& path)
{
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

// The loader's and the plug-ins' own log lines since the capture began, in
// order, without their line ends; with the level letter of errors.
QStringList pluginLog()
{
    QStringList lines;
    if (!LogCapture::settle())
        return QStringList(QStringLiteral("log did not settle"));
    for (SystemEntry const& e : LogCapture::system()) {
        if (!e.prefix.contains(" [lumoplugininterface:") && !e.prefix.contains(" [testplugin:"))
            continue;
        QString line = QString::fromLatin1(e.msg).chopped(1);
        if (e.priority == LOG_ERR)
            line.prepend(QLatin1String("E "));
        else if (e.priority != LOG_INFO)
            line.prepend(QLatin1String("? "));
        lines << line;
    }
    return lines;
}

QString loading(char const* name, char const* folderName, char const* file)
{
    return QStringLiteral("Loading plugin '%1': %2").arg(QLatin1String(name), library(folderName, file));
}

// A requires B, whose init entry fails: B fails, then A through it; A's
// init entry never runs, and both libraries are unloaded. The walk of all
// plug-ins reports both again.
TEST(LumoPluginInterface, RequiredPluginThatFailsToInitialise)
{
    CleanLogCapture capture;
    LumoPluginInterface plugins(1, folder("chain"));
    EXPECT_TRUE(loaded(library("chain", "libalpha.so")));
    EXPECT_TRUE(loaded(library("chain", "libbeta.so")));

    EXPECT_FALSE(plugins.init(QStringLiteral("alpha")));
    EXPECT_EQ(pluginLog(), QStringList({
                               loading("alpha", "chain", "libalpha.so"),
                               loading("beta", "chain", "libbeta.so"),
                               "init beta",
                               "E Plugin 'beta' error: Initialize failed",
                               "E Plugin 'alpha' error: Failed to init required plugin 'beta'",
                           }));
    EXPECT_FALSE(loaded(library("chain", "libalpha.so")));
    EXPECT_FALSE(loaded(library("chain", "libbeta.so")));

    LogCapture::clear();
    EXPECT_EQ(plugins.init(), 0);
    const QStringList again = pluginLog();
    ASSERT_EQ(again.size(), 4) << again.join(QLatin1Char('\n')).toStdString();
    for (int i = 0; i < 4; i += 2) {
        const QString name = again[i].contains(QLatin1String("'alpha'")) ? "alpha" : "beta";
        EXPECT_EQ(again[i], loading(qPrintable(name), "chain", qPrintable("lib" + name + ".so")));
        EXPECT_TRUE(again[i + 1].startsWith("E Plugin '" + name + "' error: ")) << again[i + 1].toStdString();
    }
    EXPECT_FALSE(plugins.init(QStringLiteral("beta")));
}

// A and B require each other: started from A, B finds A under way and
// initialises first. Both stay loaded.
TEST(LumoPluginInterface, RequirementCycle)
{
    CleanLogCapture capture;
    LumoPluginInterface plugins(1, folder("cycle"));
    EXPECT_TRUE(plugins.init(QStringLiteral("cyca")));
    EXPECT_EQ(pluginLog(), QStringList({
                               loading("cyca", "cycle", "libcyca.so"),
                               loading("cycb", "cycle", "libcycb.so"),
                               "init cycb",
                               "init cyca",
                           }));
    EXPECT_TRUE(loaded(library("cycle", "libcyca.so")));
    EXPECT_TRUE(loaded(library("cycle", "libcycb.so")));

    // Initialised plug-ins are passed over silently.
    LogCapture::clear();
    EXPECT_EQ(plugins.init(), 0);
    EXPECT_TRUE(plugins.init(QStringLiteral("cycb")));
    EXPECT_TRUE(pluginLog().isEmpty()) << pluginLog().join(QLatin1Char('\n')).toStdString();
}

struct RequirementCase {
    char const* name;
    bool result;
    QStringList log;
};

TEST(LumoPluginInterface, Requirements)
{
    LumoPluginInterface plugins(1, folder("requires"));
    const RequirementCase cases[] = {
        // A name that no plug-in reports.
        {"needy",
         false,
         {loading("needy", "requires", "libneedy.so"),
          "E Failed to init plugin 'nobody': No plugin by that name found",
          "E Plugin 'needy' error: Failed to init required plugin 'nobody'"}},
        // A required entry that returns null requires nothing.
        {"nullreq", true, {loading("nullreq", "requires", "libnullreq.so"), "init nullreq"}},
        // Two names, in their order; one is initialised already.
        {"two",
         true,
         {loading("two", "requires", "libtwo.so"), loading("plain", "requires", "libplain.so"), "init plain",
          "init two"}},
        {"ghost", false, {"E Failed to init plugin 'ghost': No plugin by that name found"}},
    };
    for (RequirementCase const& c : cases) {
        SCOPED_TRACE(c.name);
        CleanLogCapture capture;
        EXPECT_EQ(plugins.init(QString::fromLatin1(c.name)), c.result);
        EXPECT_EQ(pluginLog(), c.log);
    }
    EXPECT_FALSE(loaded(library("requires", "libneedy.so")));
    EXPECT_TRUE(loaded(library("requires", "libnullreq.so")));
}

// Each library that cannot be opened gives one line with its reason and is
// unloaded; a plain file is passed over without a word.
TEST(LumoPluginInterface, OpenFailures)
{
    CleanLogCapture capture;
    LumoPluginInterface plugins(1, folder("broken"));
    const QStringList lines = pluginLog();
    ASSERT_EQ(lines.size(), 4) << lines.join(QLatin1Char('\n')).toStdString();
    auto lineWith = [&lines](char const* text) {
        const QStringList found = lines.filter(QLatin1String(text));
        return found.size() == 1 ? found[0] : QStringLiteral("%1 lines with %2").arg(found.size()).arg(text);
    };
    EXPECT_EQ(lineWith("mismatch"), "E Plugin open failed: Interface version mismatch.  Expected 1, got 2");
    EXPECT_EQ(lineWith("name."), "E Plugin open failed: Plugin has no name.");
    const QString noInit = lineWith("libnoinit.so");
    EXPECT_TRUE(noInit.startsWith(QLatin1String("E Plugin open failed: "))) << noInit.toStdString();
    EXPECT_TRUE(noInit.contains(QLatin1String("__lumoplugin_init"))) << noInit.toStdString();
    const QString junk = lineWith("libjunk.so");
    EXPECT_TRUE(junk.startsWith(QLatin1String("E Plugin open failed: ") + library("broken", "libjunk.so")))
        << junk.toStdString();
    for (char const* file : {"libv2.so", "libnoname.so", "libnoinit.so"})
        EXPECT_FALSE(loaded(library("broken", file))) << file;

    LogCapture::clear();
    EXPECT_EQ(plugins.init(), 0);
    EXPECT_TRUE(pluginLog().isEmpty());
}

TEST(LumoPluginInterface, VersionIsCheckedAgainstTheSet)
{
    LumoPluginInterface two(2, folder("none"));
    LumoPluginItem v2(&two, library("broken", "libv2.so"));
    EXPECT_EQ(v2.state(), LumoPluginItem::Opened);
    EXPECT_EQ(v2.name(), QStringLiteral("v2"));
    EXPECT_TRUE(v2.error().isEmpty());

    LumoPluginItem plain(&two, library("requires", "libplain.so"));
    EXPECT_EQ(plain.state(), LumoPluginItem::Failed);
    EXPECT_EQ(plain.error(), QStringLiteral("Interface version mismatch.  Expected 2, got 1"));
    EXPECT_TRUE(plain.name().isEmpty());
    EXPECT_FALSE(plain.init());

    LumoPluginItem missing(&two, folder("none") + QStringLiteral("/libmissing.so"));
    EXPECT_EQ(missing.state(), LumoPluginItem::Failed);
    EXPECT_TRUE(missing.error().contains(QLatin1String("libmissing.so"))) << missing.error().toStdString();
}

// A debug build loads "<name>_dbg.so" in place of a library beside it (for
// both entries; the later displaces the earlier), a release build passes
// "_dbg.so" files over.
TEST(LumoPluginInterface, DebugLibrariesTakeThePlaceOfReleaseOnes)
{
    CleanLogCapture capture;
    LumoPluginInterface plugins(1, folder("dbg"));
    EXPECT_TRUE(plugins.init(QStringLiteral("foo")));
    const char* file = Lumo::isBuiltInDebug() ? "libfoo_dbg.so" : "libfoo.so";
    EXPECT_EQ(pluginLog(), QStringList({loading("foo", "dbg", file), "init foo"}));
    EXPECT_EQ(loaded(library("dbg", "libfoo.so")), !Lumo::isBuiltInDebug());
}

TEST(LumoPluginInterface, OriginIsTheApplicationsDirectory)
{
    CleanLogCapture capture;
    LumoPluginInterface plugins(1, QStringLiteral("${ORIGIN}/" LUMO_PLUGIN_ROOT_FROM_BIN "/cycle"));
    EXPECT_TRUE(plugins.init(QStringLiteral("cycb")));
    const QStringList lines = pluginLog();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], QStringLiteral("Loading plugin 'cycb': %1/" LUMO_PLUGIN_ROOT_FROM_BIN "/cycle/libcycb.so")
                            .arg(QCoreApplication::applicationDirPath()));

    // A folder that is not there holds no plug-ins, and says nothing.
    LogCapture::clear();
    LumoPluginInterface none(1, QStringLiteral("${ORIGIN}/no/such/folder"));
    EXPECT_EQ(none.init(), 0);
    EXPECT_TRUE(pluginLog().isEmpty());
}

} // namespace
