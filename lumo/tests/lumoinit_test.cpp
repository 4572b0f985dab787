// Library start-up, in a probe program per case (start-up happens once per
// process): each flag combination, and later calls that do nothing.
#include <gtest/gtest.h>

#include <QMetaType>
#include <QRegularExpression>
#include <QStringList>

#include "childprocess.h"
#include "qtprint.h"

namespace {

struct Probe {
    QStringList facts; // everything but the log
    QStringList log;
    int status = -1;

    QString fact(QString const& key) const
    {
        for (QString const& f : facts)
            if (f.startsWith(key + QLatin1Char(' ')))
                return f.mid(key.size() + 1);
        return QStringLiteral("<missing>");
    }
    int count(QString const& prefix) const { return log.filter(QRegularExpression("^" + prefix)).size(); }
};

Probe runProbe(std::vector<std::string> flags)
{
    flags.insert(flags.begin(), LUMO_INIT_PROBE);
    Probe probe;
    const QString out = QString::fromStdString(tovik::test::RunAndCapture(flags, 20000, &probe.status));
    for (QString const& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("log ")))
            probe.log << line.mid(4);
        else if (QRegularExpression(QStringLiteral("^(before|pool|aligned|type|builtin|engine) ")).match(line).hasMatch())
            probe.facts << line;
    }
    return probe;
}

const char* const kTypes[] = {
    "LumoError",        "LumoFrame",      "LumoTimeStamp",    "LumoId",    "LumoVideoState",
    "LumoVideoDeviceSetup", "LumoTimecode", "LumoImageLut",   "LumoVbiInfo", "LumoPlayList",
    "LumoPlayListIndex", "LumoStreamInfo", "LumoMetadataHash", "LumoAlarm", "LumoVideoRefState",
};

struct InitCase {
    std::vector<std::string> calls; // the flags of each Lumo::init call
    bool pool;
    bool plugins;
    char const* flagsText; // as the information line prints them
};

const InitCase kInitCases[] = {
    {{"0"}, false, true, "0x00000000"},
    {{"1"}, true, true, "0x00000001"},
    {{"2"}, false, false, "0x00000002"},
    {{"3"}, true, false, "0x00000003"},
    // Bits beyond the two are kept and printed.
    {{"0x402"}, false, false, "0x00000402"},
    // Later calls do nothing, whatever their flags, and log nothing.
    {{"1", "2"}, true, true, "0x00000001"},
    {{"2", "1", "0"}, false, false, "0x00000002"},
};

TEST(LumoInit, EachFlagCombination)
{
    for (InitCase const& c : kInitCases) {
        SCOPED_TRACE(c.flagsText + std::string(c.calls.size() > 1 ? " and later calls" : ""));
        const Probe p = runProbe(c.calls);
        ASSERT_EQ(p.status, 0) << p.facts.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(p.fact("before"), QStringLiteral("0"));
        EXPECT_EQ(p.fact("pool"), QString::number(c.pool));
        EXPECT_EQ(p.fact("aligned"), QStringLiteral("1"));

        // The fifteen types, each its own new id in this order; "LumoError"
        // names int.
        EXPECT_EQ(p.fact("type LumoError"), QString::number(QMetaType::Int));
        int previous = QMetaType::User - 1;
        for (char const* type : kTypes) {
            if (QLatin1String(type) == QLatin1String("LumoError"))
                continue;
            const int id = p.fact(QStringLiteral("type ") + QLatin1String(type)).toInt();
            EXPECT_GT(id, previous) << type;
            previous = id;
        }
        EXPECT_EQ(p.fact("builtin"), QStringLiteral("LTCConnector_In"));

        // One plug-in installs a factory, the other fails to initialise and
        // is reported; start-up goes on either way.
        EXPECT_EQ(p.fact("engine"), QString::number(c.plugins));
        EXPECT_EQ(p.count("Loading plugin 'probefactory': .*/bin/\\.\\./lib/plugins/liblumo/libprobefactory\\.so$"),
                  int(c.plugins));
        EXPECT_EQ(p.count("Plugin 'probefail' error: Initialize failed$"), int(c.plugins));
        EXPECT_EQ(p.count("init probefactory$"), int(c.plugins));
        EXPECT_EQ(p.count("Plugin open failed"), 0);

        // The information line comes last, once.
        ASSERT_FALSE(p.log.isEmpty());
        EXPECT_EQ(p.count("liblumo: "), 1);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^liblumo: gcc-\\S+ \\S+ svn \\S+ \\S+ .+, flags: ") +
                                       QLatin1String(c.flagsText) + QStringLiteral("$"))
                        .match(p.log.last())
                        .hasMatch())
            << p.log.last().toStdString();
    }
}

} // namespace
