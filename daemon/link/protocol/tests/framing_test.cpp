// Response reader, names and trace lines.
#include <gtest/gtest.h>

#include <sstream>

#include <QDateTime>
#include <QRegularExpression>

#include "messagelog.h"
#include "scriptedlink.h"

namespace {

using tovik::test::Bytes;
using tovik::test::Concat;
using tovik::test::MessageLog;
using tovik::test::Response;
using tovik::test::ResponseWithLength;
using tovik::test::ScriptedLink;
using tovik::test::ScriptedSerial;

TEST(Names, CommandNames)
{
    const struct {
        int code;
        const char* name;
    } cases[] = {
        {0x80, "kReadProtocolVersionCmd"},
        {0x8F, "kWriteConfigSubblockCmd"},
        {0x9E, "kReadDeviceDataImmediateCmd"},
        {0xA2, "kReadLUTFirmwareVersionCmd"},
        {0xA3, "Unknown Command"},
        {0xC0, "kReadProtocolVersionResponse"},
        {0xC1, "kReadModuleInfoResponse"},
        {0xD0, "kReadConfigSubblockResponse"},
        {0xE2, "kReadLUTFirmwareVersionResponse"},
        {0xE3, "Unknown Command"},
        {0xFF, "kUnknownCommandResponse"},
        {0x7F, "Unknown Command"},
        {0xBF, "Unknown Command"},
        {0x00, "Unknown Command"},
        {-1, "Unknown Command"},
        {0x1C0, "Unknown Command"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QString(c.name), CCommProtocol::CommandName(c.code)) << std::hex << c.code;
}

TEST(Names, StatusNames)
{
    const struct {
        int status;
        const char* name;
    } cases[] = {
        {0, "kOK"},
        {-1, "kUnknownError"},
        {-4, "kTimedOut"},
        {-12, "kIllegalArgument"},
        {-16, "kBadInterface"},
        {-23, "kNotDoneYet"},
        {-24, "Unknown Status"},
        {1, "Unknown Status"},
        {-1000, "Unknown Status"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QString(c.name), CCommProtocol::StatusName(c.status)) << c.status;
}

TEST(ReceiveResponse, SplitHeaderIsATimeOutReportedOnWarningAndStderr)
{
    ScriptedLink h;
    h._port.Preload({0xC0, 0x00});
    h._port.Preload({0x05, 0x00, 0x01});
    std::string err;
    QStringList warnings;
    {
        MessageLog log;
        testing::internal::CaptureStderr();
        UByte header[4];
        EXPECT_EQ(kTimedOut, h._protocol.ReceiveResponse(header, 0xC0));
        err = testing::internal::GetCapturedStderr();
        warnings = log.Lines(QtWarningMsg);
    }
    EXPECT_NE(std::string::npos, err.find("Wanted 4 bytes, got 2.\n"));
    ASSERT_EQ(1, h._text.size());
    EXPECT_TRUE(h._text[0].contains("\tkTimedOut\n"));
    // The trace line in quotes as it is: real tabs and line end inside.
    ASSERT_EQ(1, warnings.size());
    EXPECT_EQ('"' + h._text[0] + '"', warnings[0]);
    EXPECT_EQ(0u, h._port.Pending());
    EXPECT_EQ("F", h._port._events);
}

TEST(ReceiveResponse, ShortHeaderTraceBytesOnStandardError)
{
    ScriptedLink h;
    h._port.Preload({0xC0});
    QtMessageHandler previous = qInstallMessageHandler(nullptr);
    testing::internal::CaptureStderr();
    UByte header[4];
    EXPECT_EQ(kTimedOut, h._protocol.ReceiveResponse(header, 0xC0));
    const std::string err = testing::internal::GetCapturedStderr();
    qInstallMessageHandler(previous);
    ASSERT_EQ(1, h._text.size());
    const std::string line = h._text[0].toStdString();
    EXPECT_EQ('"' + line + "\"\nWanted 4 bytes, got 1.\n", err);
    EXPECT_EQ(std::string::npos, err.find("\\t"));
    EXPECT_EQ(std::string::npos, err.find("\\n"));
}

TEST(ReceiveResponse, NothingReceivedNeverShowsStaleHeaderBytes)
{
    ScriptedLink h;
    UByte header[4] = {0xAB, 0xCD, 0xEF, 0x12};
    testing::internal::CaptureStderr();
    EXPECT_EQ(kTimedOut, h._protocol.ReceiveResponse(header, 0xC0));
    EXPECT_NE(std::string::npos,
              testing::internal::GetCapturedStderr().find("Wanted 4 bytes, got 0.\n"));
    ASSERT_EQ(1, h._text.size());
    EXPECT_FALSE(h._text[0].contains("0xab"));
    EXPECT_TRUE(h._text[0].contains("\t0x0 "));
}

TEST(ReceiveResponse, HeaderJudgement)
{
    const struct {
        const char* name;
        Bytes header;
        int status;
        const char* traceName;
    } cases[] = {
        {"done", {0xC0, 0x00, 0x05, 0x00}, kOK, "kOK"},
        {"unknown command even with status 0", {0xFF, 0x00, 0x04, 0x00}, kUnknownCommand,
         "kUnknownCommand"},
        {"other response", {0xC1, 0x00, 0x05, 0x00}, kWrongResponse, "kWrongResponse"},
        {"command code echoed", {0x80, 0x00, 0x05, 0x00}, kWrongResponse, "kWrongResponse"},
        {"status 1", {0xC0, 0x00, 0x04, 0x01}, kUnknownError, "kUnknownError"},
        {"status 3", {0xC0, 0x00, 0x04, 0x03}, kUnknownError, "kUnknownError"},
        {"status 0xFF", {0xC0, 0x00, 0x04, 0xFF}, kUnknownError, "kUnknownError"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        h._port.Preload(Concat(c.header, {0x01}));
        UByte header[4];
        EXPECT_EQ(c.status, h._protocol.ReceiveResponse(header, 0xC0));
        ASSERT_EQ(1, h._text.size());
        const QStringList columns = h._text[0].split('\t');
        ASSERT_EQ(5, columns.size());
        EXPECT_EQ(QString(c.traceName) + "\n", columns[4]);
        EXPECT_EQ(QString::number(c.status), columns[3].trimmed());
        // Only a good header leaves the payload for the caller.
        EXPECT_EQ(c.status == kOK ? 1u : 0u, h._port.Pending());
    }
}

TEST(ReceiveResponse, BusyAnswersAreCountedAndReported)
{
    ScriptedLink h;
    h._port.Preload(Response(0xC0, 2));
    h._port.Preload(Response(0xC0, 2, {0xEE, 0xEE}));
    h._port.Preload(Response(0xC0, 2));
    h._port.Preload(Response(0xC0, 0, {0x01}));
    UByte header[4];
    EXPECT_EQ(kOK, h._protocol.ReceiveResponse(header, 0xC0));
    EXPECT_EQ(Bytes({0xC0, 0x00, 0x05, 0x00}), Bytes(header, header + 4));
    EXPECT_EQ(6u, h._protocol.GetBusyUnits());
    EXPECT_EQ(3u, h._progress._values.size());
    EXPECT_EQ(1u, h._port.Pending()); // the final answer's payload
    ASSERT_EQ(4, h._text.size());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(h._text[i].endsWith("\t-23       \tkNotDoneYet\n")) << h._text[i].toStdString();
}

TEST(ReceiveResponse, BusyAnswerWithABadLengthDropsNothing)
{
    ScriptedLink h;
    h._port.Preload(ResponseWithLength(0xC0, 2, 2)); // below the header size
    h._port.Preload(Response(0xC0, 0, {0x01}));
    UByte header[4];
    EXPECT_EQ(kOK, h._protocol.ReceiveResponse(header, 0xC0));
    EXPECT_EQ(1u, h._port.Pending());
}

TEST(ReceiveResponse, BusyProgressDuringAFirmwareUpdate)
{
    // Busy units grow by two per busy answer against 200 prepared units.
    ScriptedLink h;
    std::istringstream image("");
    ScriptedSerial::Reply reply;
    for (int i = 0; i < 3; ++i)
        reply.push_back({Response(0xC5, 2)});
    reply.push_back({Response(0xC5, 1)});
    h._port.QueueReply(reply);
    EXPECT_EQ(kUnknownError, h._protocol.SafeBootFirmwareUpdate(image, 0));
    EXPECT_EQ((std::vector<float>{0.0f, 2.0f / 202.0f, 4.0f / 204.0f, 6.0f / 206.0f}),
              h._progress._values);
}

TEST(Trace, CommandAndResponseLines)
{
    ScriptedLink h;
    h._port.QueueReply(Response(0xDE, 0, {0}));
    UByte buffer[1];
    ASSERT_EQ(kOK, h._protocol.ReadDeviceDataImmediate(1, 0, 0, buffer, 0));
    ASSERT_EQ(2, h._text.size());
    ASSERT_EQ(2, h._html.size());

    const QRegularExpression cmdHtml(
        "^<span class=\"cmd\"><span class=\"ts\">\\d+ms</span><span class=\"cmdCode\">0x9e</span>"
        "<span class=\"cmdStr\">kReadDeviceDataImmediateCmd</span></span><br/>$");
    EXPECT_TRUE(cmdHtml.match(h._html[0]).hasMatch()) << h._html[0].toStdString();
    const QStringList cmd = h._text[0].split('\t');
    ASSERT_EQ(3, cmd.size());
    EXPECT_TRUE(QRegularExpression("^\\d+ms *$").match(cmd[0]).hasMatch());
    EXPECT_GE(cmd[0].size(), 10);
    EXPECT_EQ(QString("0x9e").leftJustified(10), cmd[1]);
    EXPECT_EQ(QString("kReadDeviceDataImmediateCmd").leftJustified(40) + "\n", cmd[2]);

    const QRegularExpression resHtml(
        "^<span class=\"response\"><span class=\"ts\">\\d+ms</span><span class=\"cmdCode\">0xde"
        "</span><span class=\"cmdStr\">kReadDeviceDataImmediateResponse</span><span "
        "class=\"resCode\">0</span><span class=\"resStr\">kOK</span></span><br/>$");
    EXPECT_TRUE(resHtml.match(h._html[1]).hasMatch()) << h._html[1].toStdString();
    const QStringList res = h._text[1].split('\t');
    ASSERT_EQ(5, res.size());
    EXPECT_EQ(QString("0xde").leftJustified(10), res[1]);
    EXPECT_EQ(QString("kReadDeviceDataImmediateResponse").leftJustified(40), res[2]);
    EXPECT_EQ(QString("0").leftJustified(10), res[3]);
    EXPECT_EQ(QString("kOK\n"), res[4]);
}

TEST(Trace, LongModuleNameReadHasNoName)
{
    ScriptedLink h;
    h._port.QueueReply(Response(0xE3, 0, Bytes(16, 'A')));
    QString name;
    ASSERT_EQ(kOK, h._protocol.ReadLongModuleName(name));
    ASSERT_EQ(2, h._text.size());
    EXPECT_TRUE(h._text[0].contains("\t0xa3      \tUnknown Command"));
    EXPECT_TRUE(h._text[1].contains("\t0xe3      \tUnknown Command"));
}

TEST(Trace, TimeStampIsMillisecondsSinceTheEpoch)
{
    ScriptedLink h;
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    h._port.QueueReply(Response(0xE0, 0));
    ASSERT_EQ(kOK, h._protocol.Reset());
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    const qint64 stamp = h._text[0].section("ms", 0, 0).toLongLong();
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
}

} // namespace
