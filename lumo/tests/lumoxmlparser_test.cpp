// The event parser: documents to exact event and error sequences with
// positions, hooks that refuse, the default error report and its abort
// switch, deep nesting and the debug traces.
#include <gtest/gtest.h>

#include <signal.h>
#include <syslog.h>

#include <cstdio>
#include <string>
#include <vector>

#include "logcapture.h"
#include "lumo/lumolog.h"
#include "lumo/lumoxmlparser.h"
#include "lumoxmlparser_p.h"

namespace {

// Records every event as one line; an error ends the list.
class Recorder : public LumoXMLParser {
public:
    std::vector<std::string> events;
    std::string refuseAt; // the event (as recorded) whose hook returns false

    bool parseData(QByteArray const& data) override { return record("data:" + data.toStdString()); }
    bool parseNodeOpen(QByteArray const& name) override { return record("open:" + name.toStdString()); }
    bool parseNodeClose(QByteArray const& name) override { return record("close:" + name.toStdString()); }
    bool parseProperty(QByteArray const& name, QByteArray const& value) override
    {
        return record("prop:" + name.toStdString() + "=" + value.toStdString());
    }
    void parseError(int position, QString const& message) override
    {
        events.push_back("error " + std::to_string(position) + ": " + message.toStdString());
    }

private:
    bool record(std::string const& event)
    {
        events.push_back(event);
        return event != refuseAt;
    }
};

std::string joined(std::vector<std::string> const& events)
{
    std::string text;
    for (std::string const& e : events)
        text += (text.empty() ? "" : " | ") + e;
    return text;
}

struct Case {
    char const* document;
    bool result;
    char const* events;
};

const Case kCases[] = {
    // Elements, properties, skipped constructs.
    {"<a/>", true, "open:a | close:a"},
    {"<?xml version='1.0'?><r k = 'v' j='w'/>", true, "open:r | prop:k=v | prop:j=w | close:r"},
    {"<x:r p:q='1'/>", true, "open:x:r | prop:p:q=1 | close:x:r"},
    {"<a x='1'y='2'/>", true, "open:a | prop:x=1 | prop:y=2 | close:a"},
    {"<a b=''/>", true, "open:a | prop:b= | close:a"},
    {"<a b='1' c = \"x'y\" d='<>&amp;'>", true, "open:a | prop:b=1 | prop:c=x'y | prop:d=<>&"},
    {"<a b='\nline'\t/>", true, "open:a | prop:b=\nline | close:a"},
    {"<r a='1'/ junk>", true, "open:r | prop:a=1 | close:r"},
    {"<r><!DOCTYPE x><a/></r>", true, "open:r"},
    {"<a><!-- <b> 'x' --><c/></a>", true, "open:a | open:c | close:c | close:a"},
    {"<a><!-->x<?>y</a>", true, "open:a | data:xy | close:a"},
    {"<-.9_:Z/>", true, "open:-.9_:Z | close:-.9_:Z"},
    // Character data.
    {"<r>x &lt;y&gt; &amp; z </r>", true, "open:r | data:x <y> & z  | close:r"},
    {"<r>\n  <a/>\n</r>", true, "open:r | open:a | close:a | close:r"},
    {"<a>\r\n\tv  </a>", true, "open:a | data:v   | close:a"},
    {"<a>&quot;&apos;&amp;amp;</a>", true, "open:a | data:\"'&amp; | close:a"},
    {"lead<r>t</r>tail", true, "open:r | data:t | close:r"},
    {"<r>it's</r>", true, "open:r"},
    {"<a>\"<b/>\"</a>", true, "open:a | data:\"<b/>\" | close:a"},
    // Comments and processing instructions are cut out of character data.
    {"<a>x<!-- c -->y</a>", true, "open:a | data:xy | close:a"},
    {"<a> <?pi 'q?> x <!---->z</a>", true, "open:a | data:x z | close:a"},
    {"<r>\n  <!-- c -->\n  <a/>\n</r>", true, "open:r | open:a | close:a | close:r"},
    {"<a>x<y<b>", true, "open:a | data:x | data:x<y | open:b"},
    {"<a>\xe9</a>", true, "open:a | data:\xe9 | close:a"},
    {"<a>text", true, "open:a"},
    {"<a>x</a><!-- open", true, "open:a | data:x | close:a"},
    // Entity errors.
    {"<r>&#60;</r>", false, "open:r | error 8: data parse error at line 1, char 8"},
    {"<r>&foo;</r>", false, "open:r | error 8: data parse error at line 1, char 8"},
    {"<r>&abcdefg;</r>", false, "open:r | error 12: data parse error at line 1, char 12"},
    {"<r>&abcdef;</r>", false, "open:r | error 11: data parse error at line 1, char 11"},
    {"<r>&;</r>", false, "open:r | error 5: data parse error at line 1, char 5"},
    {"<r>& </r>", false, "open:r | error 5: data parse error at line 1, char 5"},
    {"<r>&lt</r>", false, "open:r | error 6: data parse error at line 1, char 6"},
    {"<r a='&bad;'/>", false, "open:r | error 12: property parse error at line 1, char 12"},
    {"<r a='x&'/>", false, "open:r | error 9: property parse error at line 1, char 9"},
    // Grammar errors.
    {"<r>1 > 0</r>", false, "open:r | error 6: node close found before open at line 1, char 6"},
    {">", false, "error 1: node close found before open at line 1, char 1"},
    {"<r b>", false, "open:r | error 4: mangled property at line 1, char 4"},
    {"<r b=>", false, "open:r | error 5: mangled property at line 1, char 5"},
    {"<r b='x>", false, "error 8: reached the end of data and node did not close at line 1, char 8"},
    {"<r b=c/>", false, "open:r | error 5: illegal character between property = and value at line 1, char 5"},
    {"<a b!='1'/>", false, "open:a | error 4: illegal character in property name at line 1, char 4"},
    {"<a b c='1'/>", false, "open:a | error 5: illegal character between property name and = at line 1, char 5"},
    {"<a b='1' !>", false,
     "open:a | prop:b=1 | error 9: illegal character while searching for node properties at line 1, char 9"},
    {"</ r>", false, "error 2: illegal character in close node at line 1, char 2"},
    {"</r >", false, "error 3: illegal character in close node at line 1, char 3"},
    {"< r>", false, "error 1: whitespace before start of node name at line 1, char 1"},
    {"<>", false, "error 1: node does not have a name at line 1, char 1"},
    {"</>", false, "error 2: close node has no name at line 1, char 2"},
    {"<a\xe9>", false, "error 2: illegal character in node name at line 1, char 2"},
    {"<a=1>", false, "error 2: illegal character in node name at line 1, char 2"},
    {"<", false, "error 1: reached the end of data and node did not close at line 1, char 1"},
    {"<a", false, "error 2: reached the end of data and node did not close at line 1, char 2"},
    {"<a>text<", false, "open:a | data:text | error 8: reached the end of data and node did not close at line 1, char 8"},
    {"<a><b", false, "open:a | error 5: reached the end of data and node did not close at line 1, char 5"},
    // Positions on later lines count from the last line feed; a NUL stops the count.
    {"<a>\n<b x=1/>", false,
     "open:a | open:b | error 9: illegal character between property = and value at line 2, char 6"},
    {"<a>\n\n  <b c>", false, "open:a | open:b | error 11: mangled property at line 3, char 7"},
};

TEST(LumoXMLParser, DocumentsGiveExactEventsAndErrors)
{
    for (Case const& c : kCases) {
        SCOPED_TRACE(c.document);
        Recorder parser;
        EXPECT_EQ(parser.parse(QByteArray(c.document)), c.result);
        EXPECT_EQ(joined(parser.events), c.events);
    }
}

TEST(LumoXMLParser, NulStopsTheLineCount)
{
    Recorder parser;
    const char document[] = "<a k='\0'>\n<b c>";
    EXPECT_FALSE(parser.parse(QByteArray(document, sizeof document - 1)));
    EXPECT_EQ(joined(parser.events),
              std::string("open:a | prop:k=") + '\0' + " | open:b | error 14: mangled property at line 1, char 14");
}

TEST(LumoXMLParser, NullAndEmptyFailSilentlyAndTheParserIsReusable)
{
    Recorder parser;
    EXPECT_FALSE(parser.parse(QByteArray()));
    EXPECT_FALSE(parser.parse(QByteArray("")));
    EXPECT_FALSE(parser.parse(QString()));
    EXPECT_TRUE(parser.events.empty());
    EXPECT_FALSE(parser.parse(QByteArray("<a b>")));
    EXPECT_TRUE(parser.parse(QStringLiteral("<b>\u00e9</b>")));
    EXPECT_EQ(joined(parser.events), "open:a | error 4: mangled property at line 1, char 4 | open:b | data:\xe9 | close:b");
}

TEST(LumoXMLParser, RefusingHookEndsTheParseWithoutReport)
{
    const char* refusals[] = {"open:b", "prop:k=v", "data:t", "close:b", "close:c"};
    for (char const* refuse : refusals) {
        SCOPED_TRACE(refuse);
        Recorder parser;
        parser.refuseAt = refuse;
        EXPECT_FALSE(parser.parse(QByteArray("<a><b k='v'>t</b><c/></a>")));
        ASSERT_FALSE(parser.events.empty());
        EXPECT_EQ(parser.events.back(), refuse);
    }
}

TEST(LumoXMLParser, BaseHooksAcceptEverything)
{
    LumoXMLParser parser;
    EXPECT_TRUE(parser.parse(QByteArray("<a b='1'>x<c/></a>")));
}

TEST(LumoXMLParser, HookCopiesOutliveTheScratchBuffers)
{
    struct Keeper : LumoXMLParser {
        QList<QByteArray> kept;
        bool parseNodeOpen(QByteArray const& n) override { return kept.append(n), true; }
        bool parseProperty(QByteArray const& n, QByteArray const& v) override
        {
            kept.append(n);
            kept.append(v);
            return true;
        }
        bool parseData(QByteArray const& d) override { return kept.append(d), true; }
    } keeper;
    EXPECT_TRUE(keeper.parse(QByteArray("<first a='one'>text<second bb='two'>&lt;x</second></first>")));
    EXPECT_EQ(keeper.kept, (QList<QByteArray>{"first", "a", "one", "text", "second", "bb", "two", "<x"}));
}

TEST(LumoXMLParser, DefaultReportLogsTheDocument)
{
    LogCapture capture;
    LumoXMLParser parser;
    EXPECT_FALSE(parser.parse(QByteArray("<a>\n<b x=1/>")));
    const QByteArray expected =
        "PARSE ERROR [9]: illegal character between property = and value at line 2, char 6\n<a>\n<b x=1/>\n\n";
    EXPECT_TRUE(LogCapture::waitUntil([&] {
        for (SystemEntry const& e : LogCapture::system())
            if (e.msg == expected && e.priority == LOG_ERR && e.prefix.contains("[lumoxmlparser:"))
                return true;
        return false;
    }));
}

TEST(LumoXMLParser, AbortSwitchEndsTheProcessAtTheFirstReport)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("LumoXML_ABORTONPARSE", "", 1);
    EXPECT_EXIT(
        {
            LumoXMLParser parser;
            parser.parse(QByteArray("<a></ b>"));
            _exit(0);
        },
        ::testing::KilledBySignal(SIGABRT), "");
    // Read at every report: without it the same error returns.
    unsetenv("LumoXML_ABORTONPARSE");
    LumoXMLParser parser;
    EXPECT_FALSE(parser.parse(QByteArray("<a></ b>")));
    // An overriding report replaces the abort too.
    setenv("LumoXML_ABORTONPARSE", "1", 1);
    Recorder recorder;
    EXPECT_FALSE(recorder.parse(QByteArray("<a></ b>")));
    unsetenv("LumoXML_ABORTONPARSE");
}

TEST(LumoXMLParser, DeepNestingIsFlat)
{
    const int depth = 1000000;
    QByteArray document;
    document.reserve(depth * 8);
    for (int i = 0; i < depth; ++i)
        document += "<a k='v'>";
    for (int i = 0; i < depth; ++i)
        document += "</a>";
    struct Counter : LumoXMLParser {
        long opens = 0, closes = 0, props = 0, level = 0, deepest = 0;
        bool parseNodeOpen(QByteArray const&) override
        {
            ++opens;
            deepest = qMax(deepest, ++level);
            return true;
        }
        bool parseNodeClose(QByteArray const&) override
        {
            ++closes;
            --level;
            return true;
        }
        bool parseProperty(QByteArray const&, QByteArray const&) override
        {
            ++props;
            return true;
        }
    } counter;
    EXPECT_TRUE(counter.parse(document));
    EXPECT_EQ(counter.opens, depth);
    EXPECT_EQ(counter.closes, depth);
    EXPECT_EQ(counter.props, depth);
    EXPECT_EQ(counter.deepest, depth);
}

TEST(LumoXMLParser, DebugTracesFollowTheScan)
{
    LogCapture capture;
    lumoXMLParserSetDebug(true);
    lumoLogSetLevel(4);
    const QByteArray document("<r k='v'/>");
    Recorder parser;
    EXPECT_TRUE(parser.parse(document));
    lumoXMLParserSetDebug(false);
    char address[32];
    snprintf(address, sizeof address, "%p", static_cast<void const*>(document.constData()));
    const std::vector<std::string> traces = {std::string("getNodes: ") + address + " 10\n",
                                             std::string("getNode: ") + address + " 1 9\n",
                                             std::string("getProps: ") + address + " 2 9\n",
                                             "getProp: <r k='v'/> 3 9\n"};
    ASSERT_TRUE(LogCapture::waitSystem(traces.size()));
    std::vector<std::string> seen;
    for (SystemEntry const& e : LogCapture::system())
        if (e.priority == LOG_DEBUG && e.prefix.contains("[lumoxmlparser:"))
            seen.push_back(e.msg.toStdString());
    EXPECT_EQ(seen, traces);
    lumoLogSetLevel(3);
}

TEST(LumoXMLParser, DebugSwitchComesFromTheEnvironmentAtLoad)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EQ(lumoXMLParserDebug(), getenv("LUMO_LOG_DEBUG_LUMOXMLPARSER") != nullptr);
    setenv("LUMO_LOG_DEBUG_LUMOXMLPARSER", "", 1);
    EXPECT_EXIT(_exit(lumoXMLParserDebug() ? 0 : 1), ::testing::ExitedWithCode(0), "");
    unsetenv("LUMO_LOG_DEBUG_LUMOXMLPARSER");
}

} // namespace
