// The engine's trace logs: appended only while tracing, bounded in size,
// trimmed at entry boundaries.
#include <gtest/gtest.h>

#include "engine/ccmdengine.h"
#include "engine/tracelog.h"
#include "linkrig.h"
#include "scriptedserial.h"

namespace {

using tovik::test::Answer;
using tovik::test::Bytes;
using tovik::test::ScriptedSerial;
using tovik::test::ShippedResourceDir;
using tovik::test::TestPlatform;

TEST(TraceLogTest, TrimsWholeEntriesFromTheFront)
{
    struct Case {
        const char* name;
        int limit;
        QStringList entries;
        QString expected;
    };
    const Case cases[] = {
        {"fits", 20, {"ab\n", "cd\n"}, "ab\ncd\n"},
        {"exactly the limit", 6, {"ab\n", "cd\n"}, "ab\ncd\n"},
        {"oldest entry dropped", 7, {"ab\n", "cd\n", "ef\n"}, "cd\nef\n"},
        {"several dropped", 4, {"a\n", "b\n", "c\n", "dd\n"}, "dd\n"},
        {"last entry longer than the limit keeps its tail", 4, {"a\n", "123456\n"}, "456\n"},
    };
    for (const Case& c : cases) {
        TraceLog log(c.limit, QStringLiteral("\n"));
        for (const QString& entry : c.entries)
            log.Append(entry);
        EXPECT_EQ(log.Text(), c.expected) << c.name;
    }
}

TEST(TraceLogTest, HtmlEntriesAreCutAtTheirLineBreak)
{
    TraceLog log(30, QStringLiteral("<br/>"));
    log.Append(QStringLiteral("<span>one</span><br/>"));
    log.Append(QStringLiteral("<span>two</span><br/>"));
    EXPECT_EQ(log.Text(), QStringLiteral("<span>two</span><br/>"));
}

class EngineTraceTest : public ::testing::Test {
protected:
    EngineTraceTest()
        : _platform(ShippedResourceDir()),
          _port(new ScriptedSerial([](const Bytes& packet) {
              return Answer(packet[0], Bytes{1});
          })),
          _engine(_port, nullptr, &_platform, 0)
    {
    }

    TestPlatform _platform;
    ScriptedSerial* _port;
    CCmdEngine _engine;
};

TEST_F(EngineTraceTest, NothingIsKeptWhileTracingIsOff)
{
    UByte value = 0;
    _engine.ReadRegister(1, 0, 1, &value);
    EXPECT_TRUE(_engine.GetHtmlLog().isEmpty());
    EXPECT_TRUE(_engine.GetTextLog().isEmpty());
}

TEST_F(EngineTraceTest, CommandsAreTracedWhileTracingIsOn)
{
    _engine.SetTraceOn(true);
    UByte value = 0;
    _engine.ReadRegister(1, 0, 1, &value);
    // One line for the command, one for its response.
    EXPECT_EQ(_engine.GetTextLog().count(QLatin1Char('\n')), 2);
    EXPECT_TRUE(_engine.GetTextLog().contains(QStringLiteral("kReadDeviceDataImmediateCmd")));
    EXPECT_EQ(_engine.GetHtmlLog().count(QStringLiteral("<br/>")), 2);
}

TEST_F(EngineTraceTest, LogsStayWithinTheirLimitUnderLongTracing)
{
    _engine.SetTraceOn(true);
    const QString html = QStringLiteral("<span class=\"cmd\">%1</span><br/>");
    const QString text = QStringLiteral("%1\tline\n");
    for (int i = 0; i < 20000; ++i)
        _engine.DebugCommandProtocol(html.arg(i), text.arg(i));
    EXPECT_LE(_engine.GetHtmlLog().size(), CCmdEngine::kTraceLogLimit);
    EXPECT_LE(_engine.GetTextLog().size(), CCmdEngine::kTraceLogLimit);
    EXPECT_TRUE(_engine.GetTextLog().endsWith(text.arg(19999)));
    EXPECT_TRUE(_engine.GetHtmlLog().endsWith(html.arg(19999)));
    EXPECT_TRUE(_engine.GetHtmlLog().startsWith(QStringLiteral("<span")));
    // Whole, consecutive lines are kept, the newest last.
    const QStringList lines = _engine.GetTextLog().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 1);
    bool ok = false;
    const int first = lines.first().section(QLatin1Char('\t'), 0, 0).toInt(&ok);
    ASSERT_TRUE(ok) << lines.first().toStdString();
    EXPECT_EQ(first + lines.size() - 1, 19999);
    EXPECT_GT(_engine.GetTextLog().size(), CCmdEngine::kTraceLogLimit / 2);
}

} // namespace
