#include <gtest/gtest.h>

#include "messagelog.h"
#include "myerrorreportif.h"

namespace {

using tovik::test::MessageLog;

TEST(ErrorReportTest, TextsGoQuotedToTheDebugChannel)
{
    struct Case {
        const char* text;
        const char* printed;
    } cases[] = {
        {"port gone", "\"Error in Velora mini i/f: port gone\""},
        {"", "\"Error in Velora mini i/f: \""},
        // Between the quotes as it is: no escapes.
        {"say \"hi\"", "\"Error in Velora mini i/f: say \"hi\"\""},
        {"a\tb\nc\\d", "\"Error in Velora mini i/f: a\tb\nc\\d\""},
    };
    MyErrorReportIF sink;
    CErrorReportIF& asBase = sink;
    for (const Case& c : cases) {
        MessageLog messages;
        asBase.ReportError(QString::fromUtf8(c.text));
        EXPECT_TRUE(messages.Contains(QtDebugMsg, QString::fromUtf8(c.printed))) << c.text;
        EXPECT_EQ(messages.Lines().size(), 1) << c.text;
    }
}

} // namespace
