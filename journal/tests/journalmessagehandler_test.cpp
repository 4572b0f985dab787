// The Qt handler's text: what Qt's own handler prints, with the priority of
// the message's kind on each line.
#include "journalmessagehandler.h"

#include <gtest/gtest.h>

namespace {

TEST(JournalMessageHandler, KindsMapToSyslogPriorities)
{
    struct Case {
        QtMsgType type;
        journal::Priority priority;
        const char* lines;
    } const cases[] = {
        {QtDebugMsg, journal::kDebug, "<7>Server started\n"},
        {QtInfoMsg, journal::kInfo, "<6>Server started\n"},
        {QtWarningMsg, journal::kWarning, "<4>Server started\n"},
        {QtCriticalMsg, journal::kError, "<3>Server started\n"},
        {QtFatalMsg, journal::kError, "<3>Server started\n"},
    };
    const QMessageLogContext context;
    for (const Case& c : cases) {
        EXPECT_EQ(JournalMessageHandler::PriorityOf(c.type), c.priority) << c.type;
        EXPECT_EQ(JournalMessageHandler::Format(c.type, context, QStringLiteral("Server started")), c.lines) << c.type;
    }
}

TEST(JournalMessageHandler, EachLineOfAMessageGetsThePriority)
{
    const QMessageLogContext context;
    // A message ending in a newline prints an empty line after it, as
    // Qt's own handler does.
    EXPECT_EQ(JournalMessageHandler::Format(QtWarningMsg, context, QStringLiteral("Unknown str_action x happened\n")),
              "<4>Unknown str_action x happened\n<4>\n");
    EXPECT_EQ(JournalMessageHandler::Format(QtCriticalMsg, context, QStringLiteral("one\ntwo")), "<3>one\n<3>two\n");
    // An empty message is an empty line; a null one prints nothing, as with
    // Qt's own handler.
    EXPECT_EQ(JournalMessageHandler::Format(QtDebugMsg, context, QStringLiteral("")), "<7>\n");
    EXPECT_EQ(JournalMessageHandler::Format(QtDebugMsg, context, QString()), "");
}

} // namespace
