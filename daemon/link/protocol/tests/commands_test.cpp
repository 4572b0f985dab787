// Single-shot commands against a scripted port: request bytes, response
// rules, failures and the values handed back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "scriptedlink.h"

namespace {

using tovik::test::Bytes;
using tovik::test::Concat;
using tovik::test::Response;
using tovik::test::ResponseWithLength;
using tovik::test::ScriptedLink;
using tovik::test::ScriptedSerial;

struct SingleShot {
    const char* name;
    std::function<int(CCommProtocol&)> call;
    Bytes request;
    bool flushFirst;
    Bytes okReply;
    bool fixedLength; // false: any response length is accepted
};

Bytes Text(const char* text, size_t width)
{
    Bytes out(width, 0);
    for (size_t i = 0; text[i] && i < width; ++i)
        out[i] = static_cast<unsigned char>(text[i]);
    return out;
}

Bytes WithHeader(Bytes head, const Bytes& tail)
{
    return Concat(head, tail);
}

std::vector<SingleShot> SingleShots()
{
    static UByte byteOut;
    static ULWord longOut;
    static UByte majorOut, minorOut;
    static UByte buffer[16];
    static QString textOut;
    static UByte info[CCommProtocol::kModuleInfoSize];
    static const UByte parameter[] = {0xAA, 0xBB};
    static const UByte registers[] = {9, 8, 7};
    return {
        {"ReadProtocolVersion", [](CCommProtocol& p) { return p.ReadProtocolVersion(byteOut); },
         {0x80, 0x00, 0x03}, true, Response(0xC0, 0, {1}), true},
        {"ReadModuleInfo", [](CCommProtocol& p) { return p.ReadModuleInfo(info); },
         {0x81, 0x00, 0x03}, false, Response(0xC1, 0, {1, 0, 1, 0, 1}), true},
        {"WriteModuleInfo",
         [](CCommProtocol& p) { return p.WriteModuleInfo(QByteArray(1, '\0')); },
         {0x82, 0x00, 0x04, 0x00}, false, Response(0xC2, 0), false},
        {"ReadModuleTypeID", [](CCommProtocol& p) { return p.ReadModuleTypeID(longOut); },
         {0x83, 0x00, 0x03}, true, Response(0xC3, 0, {5}), true},
        {"WriteModuleTypeID", [](CCommProtocol& p) { return p.WriteModuleTypeID(7); },
         {0x9F, 0x00, 0x04, 0x07}, true, Response(0xDF, 0), true},
        {"ReadFPGAFirmwareVersion",
         [](CCommProtocol& p) { return p.ReadFPGAFirmwareVersion(1, 2, 0x0102, majorOut, minorOut); },
         {0x84, 0x00, 0x07, 0x01, 0x02, 0x01, 0x02}, true, Response(0xC4, 0, {1, 0}), true},
        {"ReadLUTFirmwareVersion",
         [](CCommProtocol& p) {
             return p.ReadLUTFirmwareVersion(1, 2, 3, 0x01020304, majorOut, minorOut);
         },
         {0xA2, 0x00, 0x0A, 0x01, 0x02, 0x03, 0x01, 0x02, 0x03, 0x04}, true,
         Response(0xE2, 0, {1, 0}), true},
        {"WriteConfigParameter",
         [](CCommProtocol& p) { return p.WriteConfigParameter(1, 2, 0x0304, parameter, 2); },
         {0x8D, 0x00, 0x0B, 0x01, 0x02, 0x03, 0x04, 0x00, 0x02, 0xAA, 0xBB}, false,
         Response(0xCD, 0), false},
        {"ReadConfigParameter",
         [](CCommProtocol& p) { return p.ReadConfigParameter(1, 2, 0x0304, buffer, 2); },
         {0x8E, 0x00, 0x09, 0x01, 0x02, 0x03, 0x04, 0x00, 0x02}, false,
         Response(0xCE, 0, {0x00, 0x02, 0x11, 0x22}), false},
        {"WriteReleaseVersion", [](CCommProtocol& p) { return p.WriteReleaseVersion(1, 2); },
         {0x96, 0x00, 0x05, 0x01, 0x02}, true, Response(0xD6, 0), true},
        {"ReadReleaseVersion",
         [](CCommProtocol& p) { return p.ReadReleaseVersion(majorOut, minorOut); },
         {0x95, 0x00, 0x03}, true, Response(0xD5, 0, {1, 2}), true},
        {"WriteModuleName", [](CCommProtocol& p) { return p.WriteModuleName("HESTRA"); },
         WithHeader({0x98, 0x00, 0x0B}, Text("HESTRA", 8)), false, Response(0xD8, 0), true},
        {"WriteLongModuleName", [](CCommProtocol& p) { return p.WriteLongModuleName("HESTRA"); },
         WithHeader({0x98, 0x00, 0x13}, Text("HESTRA", 16)), false, Response(0xD8, 0), true},
        {"ReadModuleName", [](CCommProtocol& p) { return p.ReadModuleName(textOut); },
         {0x97, 0x00, 0x03}, true, Response(0xD7, 0, Text("HESTRA", 8)), true},
        {"ReadLongModuleName", [](CCommProtocol& p) { return p.ReadLongModuleName(textOut); },
         {0xA3, 0x00, 0x03}, true, Response(0xE3, 0, Text("HESTRA", 16)), true},
        {"WriteBoardAssemblyID", [](CCommProtocol& p) { return p.WriteBoardAssemblyID("B1"); },
         WithHeader({0x9A, 0x00, 0x0C}, Text("B1", 9)), false, Response(0xDA, 0), true},
        {"ReadBoardAssemblyID", [](CCommProtocol& p) { return p.ReadBoardAssemblyID(textOut); },
         {0x99, 0x00, 0x03}, true, Response(0xD9, 0, Text("B1", 9)), true},
        {"WriteSerialID", [](CCommProtocol& p) { return p.WriteSerialID("SIM05001"); },
         WithHeader({0x9C, 0x00, 0x0B}, Text("SIM05001", 8)), false, Response(0xDC, 0), true},
        {"ReadSerialID", [](CCommProtocol& p) { return p.ReadSerialID(textOut); },
         {0x9B, 0x00, 0x03}, true, Response(0xDB, 0, Text("SIM05001", 8)), true},
        {"WriteDeviceDataImmediate",
         [](CCommProtocol& p) { return p.WriteDeviceDataImmediate(1, 0, 0x03, registers, 3); },
         {0x9D, 0x00, 0x0D, 0x01, 0x00, 0x00, 0x00, 0x00, 0x03, 0x03, 0x09, 0x08, 0x07}, true,
         Response(0xDD, 0), false},
        {"ReadDeviceDataImmediate",
         [](CCommProtocol& p) { return p.ReadDeviceDataImmediate(1, 0, 0x20, buffer, 2); },
         {0x9E, 0x00, 0x0A, 0x01, 0x00, 0x00, 0x00, 0x00, 0x20, 0x02}, true,
         Response(0xDE, 0, {0x02, 0x33, 0x44}), false},
        {"RefreshConfig", [](CCommProtocol& p) { return p.RefreshConfig(1, 2); },
         {0x92, 0x00, 0x05, 0x01, 0x02}, true, Response(0xD2, 0), false},
        {"Reset", [](CCommProtocol& p) { return p.Reset(); }, {0xA0, 0x00, 0x03}, true,
         Response(0xE0, 0), false},
        {"TransferComplete", [](CCommProtocol& p) { return p.TransferComplete(); },
         {0x8A, 0x00, 0x03}, false, Response(0xCA, 0), false},
        {"Abort", [](CCommProtocol& p) { return p.Abort(); }, {0x91, 0x00, 0x03}, true,
         Response(0xD1, 0), false},
    };
}

TEST(SingleShotCommands, SendExactRequestAndAcceptTheirAnswer)
{
    for (const SingleShot& c : SingleShots()) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        h._port.QueueReply(c.okReply);
        EXPECT_EQ(kOK, c.call(h._protocol));
        ASSERT_EQ(1u, h._port._writes.size());
        EXPECT_EQ(c.request, h._port._writes[0]);
        EXPECT_EQ(c.flushFirst ? "FW" : "W", h._port._events);
        EXPECT_EQ(0u, h._port.Pending());
        EXPECT_EQ(2, h._text.size()); // command and response
    }
}

TEST(SingleShotCommands, HeaderFailuresFlushAndPassTheStatusUp)
{
    struct Failure {
        const char* name;
        std::function<ScriptedSerial::Reply(const Bytes& ok)> reply;
        int status;
    };
    const Bytes trailer{0x55, 0x66};
    const std::vector<Failure> failures = {
        {"unknown command", [&](const Bytes&) { return ScriptedSerial::Reply{{Concat(Response(0xFF, 0), trailer)}}; },
         kUnknownCommand},
        {"other command's response",
         [&](const Bytes& ok) {
             return ScriptedSerial::Reply{{Concat(Response(UByte(ok[0] + 1), 0), trailer)}};
         },
         kWrongResponse},
        {"error status 1",
         [&](const Bytes& ok) { return ScriptedSerial::Reply{{Concat(Response(ok[0], 1), trailer)}}; },
         kUnknownError},
        {"error status 0x7F",
         [&](const Bytes& ok) { return ScriptedSerial::Reply{{Concat(Response(ok[0], 0x7F), trailer)}}; },
         kUnknownError},
        {"no answer", [](const Bytes&) { return ScriptedSerial::Reply{}; }, kTimedOut},
        {"header in two bursts",
         [](const Bytes& ok) {
             return ScriptedSerial::Reply{{Bytes(ok.begin(), ok.begin() + 2)},
                                      {Bytes(ok.begin() + 2, ok.end())}};
         },
         kTimedOut},
        {"read error",
         [](const Bytes& ok) { return ScriptedSerial::Reply{{Bytes(), true}, {ok}}; }, kTimedOut},
    };
    for (const SingleShot& c : SingleShots()) {
        for (const Failure& f : failures) {
            SCOPED_TRACE(std::string(c.name) + ": " + f.name);
            ScriptedLink h;
            h._port.QueueReply(f.reply(c.okReply));
            testing::internal::CaptureStderr();
            EXPECT_EQ(f.status, c.call(h._protocol));
            testing::internal::GetCapturedStderr();
            ASSERT_FALSE(h._port._events.empty());
            EXPECT_EQ('F', h._port._events.back());
            EXPECT_EQ(0u, h._port.Pending());
            ASSERT_EQ(2, h._text.size());
            EXPECT_TRUE(h._text[1].contains(CCommProtocol::StatusName(f.status)));
        }
    }
}

TEST(SingleShotCommands, BusyAnswersAreWaitedOut)
{
    for (const SingleShot& c : SingleShots()) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        const UByte code = c.okReply[0];
        h._port.QueueReply(ScriptedSerial::Reply{{Response(code, 2)},
                                             {Response(code, 2, {0xEE, 0xEE})},
                                             {c.okReply}});
        EXPECT_EQ(kOK, c.call(h._protocol));
        EXPECT_EQ(4u, h._protocol.GetBusyUnits());
        EXPECT_EQ(0u, h._port.Pending());
        EXPECT_EQ(4, h._text.size()); // command, two busy answers, final answer
    }
}

TEST(SingleShotCommands, ResponseLengthRules)
{
    for (const SingleShot& c : SingleShots()) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        // One byte more than the command expects, announced in the header.
        Bytes longer = Concat(c.okReply, {0x99});
        const unsigned length = unsigned(longer.size());
        longer[1] = UByte(length >> 8);
        longer[2] = UByte(length);
        h._port.QueueReply(longer);
        if (c.fixedLength) {
            EXPECT_EQ(kBadCmdByteCount, c.call(h._protocol));
            EXPECT_EQ('F', h._port._events.back());
            EXPECT_EQ(0u, h._port.Pending());
        } else {
            EXPECT_EQ(kOK, c.call(h._protocol));
            EXPECT_EQ(1u, h._port.Pending()); // left for the next flush
        }
    }
}

TEST(SingleShotCommands, FailedWriteGivesMinus24WithoutTrace)
{
    for (const SingleShot& c : SingleShots()) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        h._port._failWrites = true;
        h._port.QueueReply(c.okReply);
        EXPECT_EQ(kCommWriteFailed, c.call(h._protocol));
        EXPECT_TRUE(h._text.isEmpty());
        EXPECT_TRUE(h._html.isEmpty());
        EXPECT_EQ(c.flushFirst ? "F" : "", h._port._events);
    }
}

TEST(SingleShotCommands, PayloadShorterThanAnnouncedIsATimeOut)
{
    for (const SingleShot& c : SingleShots()) {
        if (c.okReply.size() <= 4)
            continue;
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        // The header announces the full payload; its last byte never comes.
        h._port.QueueReply(Bytes(c.okReply.begin(), c.okReply.end() - 1));
        EXPECT_EQ(kTimedOut, c.call(h._protocol));
        EXPECT_EQ('F', h._port._events.back());
    }
}

TEST(SingleShotCommands, ModuleTypeByte)
{
    const struct {
        UByte wire;
        ULWord type;
    } cases[] = {{0xFF, 0}, {0xFE, 254}, {5, 5}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.wire));
        ScriptedLink h;
        h._port.QueueReply(Response(0xC3, 0, {c.wire}));
        ULWord type = 77;
        EXPECT_EQ(kOK, h._protocol.ReadModuleTypeID(type));
        EXPECT_EQ(c.type, type);
    }
}

TEST(SingleShotCommands, OutputsUntouchedOnFailure)
{
    ScriptedLink h;
    h._port.QueueReply(ResponseWithLength(0xC3, 6, 0, {5, 5}));
    ULWord type = 77;
    EXPECT_EQ(kBadCmdByteCount, h._protocol.ReadModuleTypeID(type));
    EXPECT_EQ(77u, type);

    h._port.QueueReply(ResponseWithLength(0xD5, 6, 0, {3}));
    UByte major = 9, minor = 9;
    EXPECT_EQ(kTimedOut, h._protocol.ReadReleaseVersion(major, minor));
    EXPECT_EQ(9, major);
    EXPECT_EQ(9, minor);

    h._port.QueueReply(Response(0xC0, 0, {1, 2}));
    UByte version = 42;
    EXPECT_EQ(kBadCmdByteCount, h._protocol.ReadProtocolVersion(version));
    EXPECT_EQ(42, version);

    UByte info[CCommProtocol::kModuleInfoSize] = {7, 7, 7, 7, 7};
    h._port.QueueReply(Response(0xC1, 0, {1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(kBadCmdByteCount, h._protocol.ReadModuleInfo(info));
    EXPECT_EQ(Bytes(5, 7), Bytes(info, info + 5));
}

TEST(SingleShotCommands, VersionReads)
{
    const struct {
        const char* name;
        UByte code;
        std::function<int(CCommProtocol&, UByte&, UByte&)> call;
    } cases[] = {
        {"release", 0xD5, [](CCommProtocol& p, UByte& a, UByte& b) { return p.ReadReleaseVersion(a, b); }},
        {"fpga", 0xC4,
         [](CCommProtocol& p, UByte& a, UByte& b) { return p.ReadFPGAFirmwareVersion(1, 0, 1, a, b); }},
        {"lut", 0xE2,
         [](CCommProtocol& p, UByte& a, UByte& b) { return p.ReadLUTFirmwareVersion(1, 0, 2, 5, a, b); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        h._port.QueueReply(Response(c.code, 0, {0x01, 0xFE}));
        UByte major = 0, minor = 0;
        EXPECT_EQ(kOK, c.call(h._protocol, major, minor));
        EXPECT_EQ(0x01, major);
        EXPECT_EQ(0xFE, minor);
    }
}

TEST(ModuleIdentification, ProtocolVersionAndModuleInfo)
{
    ScriptedLink h;
    h._port.QueueReply(Response(0xC0, 0, {1}));
    UByte version = 0;
    EXPECT_EQ(kOK, h._protocol.ReadProtocolVersion(version));
    EXPECT_EQ(1, version);

    UByte info[CCommProtocol::kModuleInfoSize] = {};
    h._port.QueueReply(Response(0xC1, 0, {1, 2, 0, 38, 0x81}));
    EXPECT_EQ(kOK, h._protocol.ReadModuleInfo(info));
    EXPECT_EQ(Bytes({1, 2, 0, 38, 0x81}), Bytes(info, info + 5));
}

TEST(ModuleIdentification, ModuleInfoReadsStaleInputAsItsHeader)
{
    ScriptedLink h;
    h._port.Preload(Response(0xC0, 0, {1})); // left from an earlier exchange
    h._port.QueueReply(Response(0xC1, 0, {1, 0, 1, 0, 1}));
    UByte info[CCommProtocol::kModuleInfoSize] = {7, 7, 7, 7, 7};
    EXPECT_EQ(kWrongResponse, h._protocol.ReadModuleInfo(info));
    EXPECT_EQ(Bytes(5, 7), Bytes(info, info + 5));
}

TEST(ModuleIdentification, WriteModuleInfoPacket)
{
    // One FPGA (id 1, one block, interface 1, device 0) with block 2 at
    // 0x0010, 0x0040 bytes long, as the module record describes it.
    const QByteArray description("\x01\x01\x01\x01\x00\x02\x00\x10\x00\x40", 10);

    ScriptedLink h;
    h._port.QueueReply(ResponseWithLength(0xC2, 9, 0)); // length not looked at
    EXPECT_EQ(kOK, h._protocol.WriteModuleInfo(description));
    ASSERT_EQ(1u, h._port._writes.size());
    EXPECT_EQ(Bytes({0x82, 0x00, 0x0D, 0x01, 0x01, 0x01, 0x01, 0x00, 0x02, 0x00, 0x10, 0x00, 0x40}),
              h._port._writes[0]);
}

TEST(ModuleIdentification, WriteModuleInfoTooLongForThePacketIsRefused)
{
    // Three header bytes and the description must fit a 16-bit length.
    ScriptedLink h;
    EXPECT_EQ(kIllegalArgument, h._protocol.WriteModuleInfo(QByteArray(0xFFFF - 2, '\0')));
    EXPECT_TRUE(h._port._writes.empty());
}

TEST(TextFields, SentAsUtf8CutAndZeroPadded)
{
    const struct {
        const char* name;
        std::function<int(CCommProtocol&, const QString&)> call;
        QString text;
        Bytes field;
    } cases[] = {
        {"exactly eight", [](CCommProtocol& p, const QString& t) { return p.WriteModuleName(t); },
         "ABCDEFGH", Text("ABCDEFGH", 8)},
        {"eleven cut to eight",
         [](CCommProtocol& p, const QString& t) { return p.WriteModuleName(t); }, "ABCDEFGHIJK",
         Text("ABCDEFGH", 8)},
        {"empty", [](CCommProtocol& p, const QString& t) { return p.WriteModuleName(t); }, "",
         Bytes(8, 0)},
        {"non-ASCII as UTF-8",
         [](CCommProtocol& p, const QString& t) { return p.WriteModuleName(t); },
         QString::fromUtf8("Z\xC3\xBCrich"), Bytes({'Z', 0xC3, 0xBC, 'r', 'i', 'c', 'h', 0})},
        {"cut inside a character",
         [](CCommProtocol& p, const QString& t) { return p.WriteModuleName(t); },
         QString::fromUtf8("ABCDEFG\xC3\xBC"), Bytes({'A', 'B', 'C', 'D', 'E', 'F', 'G', 0xC3})},
        {"long name", [](CCommProtocol& p, const QString& t) { return p.WriteLongModuleName(t); },
         "QUASTEL-EXTENDED-NAME", Text("QUASTEL-EXTENDED", 16)},
        {"board assembly",
         [](CCommProtocol& p, const QString& t) { return p.WriteBoardAssemblyID(t); },
         "1234567890", Text("123456789", 9)},
        {"serial", [](CCommProtocol& p, const QString& t) { return p.WriteSerialID(t); }, "S1",
         Text("S1", 8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        EXPECT_EQ(kTimedOut, c.call(h._protocol, c.text)); // nobody answers
        ASSERT_EQ(1u, h._port._writes.size());
        const Bytes& packet = h._port._writes[0];
        ASSERT_EQ(3 + c.field.size(), packet.size());
        EXPECT_EQ(c.field, Bytes(packet.begin() + 3, packet.end()));
        EXPECT_EQ(packet.size(), size_t(packet[1] << 8 | packet[2]));
    }
}

TEST(TextFields, ReadAsLatin1UpToTheFirstZero)
{
    const struct {
        const char* name;
        UByte code;
        std::function<int(CCommProtocol&, QString&)> call;
        Bytes field;
        QString text;
    } cases[] = {
        {"padded", 0xD7, [](CCommProtocol& p, QString& t) { return p.ReadModuleName(t); },
         Text("HESTRA", 8), "HESTRA"},
        {"no zero byte", 0xD7, [](CCommProtocol& p, QString& t) { return p.ReadModuleName(t); },
         Text("ABCDEFGH", 8), "ABCDEFGH"},
        {"zero in the middle", 0xDB, [](CCommProtocol& p, QString& t) { return p.ReadSerialID(t); },
         Bytes({'A', 'B', 0, 'C', 'D', 0, 0, 0}), "AB"},
        {"UTF-8 bytes read back one by one", 0xD7,
         [](CCommProtocol& p, QString& t) { return p.ReadModuleName(t); },
         Bytes({'Z', 0xC3, 0xBC, 'r', 'i', 'c', 'h', 0}), QString::fromUtf8("Z\xC3\x83\xC2\xBCrich")},
        {"erased serial", 0xDB, [](CCommProtocol& p, QString& t) { return p.ReadSerialID(t); },
         Bytes(8, 0xFF), QString(8, QChar(0xFF))},
        {"long name full", 0xE3, [](CCommProtocol& p, QString& t) { return p.ReadLongModuleName(t); },
         Text("QUASTEL-EXTENDED", 16), "QUASTEL-EXTENDED"},
        {"board assembly full", 0xD9,
         [](CCommProtocol& p, QString& t) { return p.ReadBoardAssemblyID(t); },
         Text("123456789", 9), "123456789"},
        {"empty field", 0xD9, [](CCommProtocol& p, QString& t) { return p.ReadBoardAssemblyID(t); },
         Bytes(9, 0), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        h._port.QueueReply(Response(c.code, 0, c.field));
        QString text = "previous";
        EXPECT_EQ(kOK, c.call(h._protocol, text));
        EXPECT_EQ(c.text, text);
    }
}

TEST(TextFields, ShortFieldLeavesTheStringAlone)
{
    ScriptedLink h;
    h._port.QueueReply(ScriptedSerial::Reply{{ResponseWithLength(0xDB, 12, 0)}, {Text("SIM", 5)}});
    QString serial = "previous";
    EXPECT_EQ(kTimedOut, h._protocol.ReadSerialID(serial));
    EXPECT_EQ("previous", serial);
}

TEST(DeviceRegisters, InterfaceAboveThreeIsRefusedBeforeSending)
{
    UByte data[2] = {1, 2};
    for (UByte interfaceId : {UByte(4), UByte(0xFF)}) {
        ScriptedLink h;
        h._port.Preload({0x01, 0x02});
        EXPECT_EQ(kBadInterface, h._protocol.ReadDeviceDataImmediate(interfaceId, 0, 0, data, 2));
        EXPECT_EQ(kBadInterface, h._protocol.WriteDeviceDataImmediate(interfaceId, 0, 0, data, 2));
        EXPECT_EQ("FF", h._port._events);
        EXPECT_EQ(0u, h._port.Pending());
        EXPECT_TRUE(h._text.isEmpty());
    }
    ScriptedLink h;
    h._port.QueueReply(Response(0xDE, 0, {1, 7}));
    EXPECT_EQ(kOK, h._protocol.ReadDeviceDataImmediate(3, 0, 0, data, 1));
}

TEST(DeviceRegisters, ReadImmediateCountRules)
{
    const struct {
        const char* name;
        UByte count;
        ScriptedSerial::Reply reply;
        int status;
        Bytes buffer;
    } cases[] = {
        {"echo and data", 3, {{Response(0xDE, 0, {3, 1, 2, 3})}}, kOK, {1, 2, 3, 0xCC}},
        {"count 0", 0, {{Response(0xDE, 0, {0})}}, kOK, {0xCC, 0xCC, 0xCC, 0xCC}},
        {"other count echoed", 3, {{Response(0xDE, 0, {2, 1, 2})}}, kParameterLengthMismatch,
         {0xCC, 0xCC, 0xCC, 0xCC}},
        {"count byte missing", 3, {{ResponseWithLength(0xDE, 8, 0)}}, kTimedOut,
         {0xCC, 0xCC, 0xCC, 0xCC}},
        {"data short", 3, {{ResponseWithLength(0xDE, 8, 0, {3, 1, 2})}}, kTimedOut,
         {0xCC, 0xCC, 0xCC, 0xCC}},
        {"data split, second part late", 3,
         {{ResponseWithLength(0xDE, 8, 0, {3, 1})}, {Bytes{2, 3}}}, kTimedOut,
         {0xCC, 0xCC, 0xCC, 0xCC}},
        {"error status after data was due", 3, {{Response(0xDE, 1, {3, 1, 2, 3})}}, kUnknownError,
         {0xCC, 0xCC, 0xCC, 0xCC}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        h._port.QueueReply(c.reply);
        Bytes buffer(4, 0xCC);
        EXPECT_EQ(c.status, h._protocol.ReadDeviceDataImmediate(1, 0, 0, buffer.data(), c.count));
        EXPECT_EQ(c.buffer, buffer);
        EXPECT_EQ(0u, h._port.Pending());
    }
}

TEST(ConfigParameter, ReadCountRules)
{
    const struct {
        const char* name;
        Bytes payload;
        int status;
        Bytes buffer;
    } cases[] = {
        {"all four", {0, 4, 1, 2, 3, 4}, kOK, {1, 2, 3, 4, 0xCC}},
        // Fewer bytes than asked would leave part of the value unset.
        {"fewer than asked", {0, 2, 1, 2}, kParameterLengthMismatch,
         {0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
        {"none", {0, 0}, kParameterLengthMismatch, {0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
        {"data short of the announced count", {0, 4, 1, 2}, kTimedOut,
         {0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
        {"more than asked", {0, 5, 1, 2, 3, 4, 5}, kParameterLengthMismatch,
         {0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
        {"far more than the buffer", {0xFF, 0xFF, 1}, kParameterLengthMismatch,
         {0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
        {"count short", {0}, kTimedOut, {0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        h._port.QueueReply(Response(0xCE, 0, c.payload));
        Bytes buffer(5, 0xCC);
        EXPECT_EQ(c.status, h._protocol.ReadConfigParameter(0, 0, 3, buffer.data(), 4));
        EXPECT_EQ(c.buffer, buffer);
        EXPECT_EQ(0u, h._port.Pending());
    }
}

TEST(ConfigParameter, ReadOfNothingNeedsNoBuffer)
{
    ScriptedLink h;
    h._port.QueueReply(Response(0xCE, 0, {0, 0}));
    EXPECT_EQ(kOK, h._protocol.ReadConfigParameter(0, 0, 3, nullptr, 0));
}

// A missing buffer is refused before anything goes out, so no converter is
// left with a half-done command or an open transfer.
TEST(ReadCommands, MissingBufferIsRefusedBeforeSending)
{
    const struct {
        const char* name;
        std::function<int(CCommProtocol&)> call;
    } cases[] = {
        {"ReadDeviceDataImmediate",
         [](CCommProtocol& p) { return p.ReadDeviceDataImmediate(1, 0, 0, nullptr, 2); }},
        {"WriteDeviceDataImmediate",
         [](CCommProtocol& p) { return p.WriteDeviceDataImmediate(1, 0, 0, nullptr, 2); }},
        {"ReadConfigParameter",
         [](CCommProtocol& p) { return p.ReadConfigParameter(0, 0, 3, nullptr, 2); }},
        {"WriteConfigParameter",
         [](CCommProtocol& p) { return p.WriteConfigParameter(0, 0, 3, nullptr, 2); }},
        {"ReadConfigData", [](CCommProtocol& p) { return p.ReadConfigData(0, 0, nullptr, 41); }},
        {"WriteConfigData", [](CCommProtocol& p) { return p.WriteConfigData(0, 0, nullptr, 41); }},
        {"ReadDeviceData", [](CCommProtocol& p) { return p.ReadDeviceData(1, 0, 0, nullptr, 8); }},
        {"WriteDeviceData",
         [](CCommProtocol& p) { return p.WriteDeviceData(1, 0, 0, static_cast<const UByte*>(nullptr), 8); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        EXPECT_EQ(kIllegalArgument, c.call(h._protocol));
        EXPECT_TRUE(h._port._writes.empty());
        EXPECT_TRUE(h._text.isEmpty());
    }
}

// Every read hands its values back only when the whole answer arrived: a
// failure at any step leaves the caller's variables as they were.
TEST(ReadCommands, OutputsOnlyOnSuccess)
{
    const UByte kSentinel = 0xCC;
    struct Outputs {
        UByte byte = kSentinel, major = kSentinel, minor = kSentinel;
        ULWord type = kSentinel;
        QString text = "previous";
        UByte buffer[4] = {kSentinel, kSentinel, kSentinel, kSentinel};
        bool Untouched() const
        {
            return byte == kSentinel && major == kSentinel && minor == kSentinel &&
                   type == kSentinel && text == "previous" &&
                   std::all_of(buffer, buffer + 4, [](UByte b) { return b == 0xCC; });
        }
    };
    const struct {
        const char* name;
        std::function<int(CCommProtocol&, Outputs&)> call;
        Bytes okReply;
    } cases[] = {
        {"ReadProtocolVersion", [](CCommProtocol& p, Outputs& o) { return p.ReadProtocolVersion(o.byte); },
         Response(0xC0, 0, {1})},
        {"ReadModuleTypeID", [](CCommProtocol& p, Outputs& o) { return p.ReadModuleTypeID(o.type); },
         Response(0xC3, 0, {5})},
        {"ReadReleaseVersion",
         [](CCommProtocol& p, Outputs& o) { return p.ReadReleaseVersion(o.major, o.minor); },
         Response(0xD5, 0, {1, 2})},
        {"ReadFPGAFirmwareVersion",
         [](CCommProtocol& p, Outputs& o) { return p.ReadFPGAFirmwareVersion(1, 0, 1, o.major, o.minor); },
         Response(0xC4, 0, {1, 0})},
        {"ReadLUTFirmwareVersion",
         [](CCommProtocol& p, Outputs& o) {
             return p.ReadLUTFirmwareVersion(1, 0, 0, 1, o.major, o.minor);
         },
         Response(0xE2, 0, {1, 0})},
        {"ReadSerialID", [](CCommProtocol& p, Outputs& o) { return p.ReadSerialID(o.text); },
         Response(0xDB, 0, Text("SIM05001", 8))},
        {"ReadModuleName", [](CCommProtocol& p, Outputs& o) { return p.ReadModuleName(o.text); },
         Response(0xD7, 0, Text("HESTRA", 8))},
        {"ReadDeviceDataImmediate",
         [](CCommProtocol& p, Outputs& o) { return p.ReadDeviceDataImmediate(1, 0, 0, o.buffer, 4); },
         Response(0xDE, 0, {4, 1, 2, 3, 4})},
        {"ReadConfigParameter",
         [](CCommProtocol& p, Outputs& o) { return p.ReadConfigParameter(0, 0, 3, o.buffer, 4); },
         Response(0xCE, 0, {0, 4, 1, 2, 3, 4})},
    };
    for (const auto& c : cases) {
        // The answer cut after every byte but the last: each cut is a
        // failure somewhere between the header and the final data byte.
        for (size_t keep = 0; keep < c.okReply.size(); ++keep) {
            SCOPED_TRACE(std::string(c.name) + " cut at " + std::to_string(keep));
            ScriptedLink h;
            h._port.QueueReply(Bytes(c.okReply.begin(), c.okReply.begin() + long(keep)));
            Outputs out;
            testing::internal::CaptureStderr();
            EXPECT_NE(kOK, c.call(h._protocol, out));
            testing::internal::GetCapturedStderr();
            EXPECT_TRUE(out.Untouched());
        }
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        h._port.QueueReply(c.okReply);
        Outputs out;
        EXPECT_EQ(kOK, c.call(h._protocol, out));
        EXPECT_FALSE(out.Untouched());
    }
}

TEST(ConfigParameter, WriteLengthMustFitThePacket)
{
    std::vector<UByte> data(65527, 0x5A);
    ScriptedLink h;
    EXPECT_EQ(kIllegalArgument, h._protocol.WriteConfigParameter(0, 0, 0, data.data(), 65527));
    EXPECT_TRUE(h._port._writes.empty());

    h._port.QueueReply(Response(0xCD, 0));
    EXPECT_EQ(kOK, h._protocol.WriteConfigParameter(0, 0, 0, data.data(), 65526));
    ASSERT_EQ(1u, h._port._writes.size());
    EXPECT_EQ(65535u, h._port._writes[0].size());
    EXPECT_EQ(0xFF, h._port._writes[0][1]);
    EXPECT_EQ(0xFF, h._port._writes[0][2]);
}

} // namespace

TEST(SingleShotCommands, WithoutAPortEveryCommandFailsAsAFailedWrite)
{
    CCommProtocol protocol(nullptr, nullptr);
    for (const SingleShot& c : SingleShots()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(kCommWriteFailed, c.call(protocol));
    }
}
