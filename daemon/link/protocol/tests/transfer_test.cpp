// Chunked uploads and downloads and the commands that open them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "scriptedlink.h"

namespace {

using tovik::test::Bytes;
using tovik::test::Concat;
using tovik::test::Response;
using tovik::test::ResponseWithLength;
using tovik::test::ScriptedLink;
using tovik::test::ScriptedSerial;

const Bytes kTransferComplete{0x8A, 0x00, 0x03};
const Bytes kAbort{0x91, 0x00, 0x03};

Bytes Pattern(size_t n)
{
    Bytes out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = UByte(i * 7 + 1);
    return out;
}

std::string AsString(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

Bytes Chunk(const Bytes& data, size_t offset, size_t n)
{
    return Concat(Bytes{0x88, UByte((n + 5) >> 8), UByte(n + 5), UByte(n >> 8), UByte(n)},
                  Bytes(data.begin() + long(offset), data.begin() + long(offset + n)));
}

Bytes Request(unsigned n)
{
    return {0x89, 0x00, 0x05, UByte(n >> 8), UByte(n)};
}

Bytes DataAnswer(const Bytes& data, size_t offset, size_t n)
{
    return Response(0xC9, 0, Concat(Bytes{UByte(n >> 8), UByte(n)},
                                    Bytes(data.begin() + long(offset), data.begin() + long(offset + n))));
}

// Queues n accepted-chunk answers and the closing answer.
void AcceptUpload(ScriptedSerial& port, size_t chunks)
{
    for (size_t i = 0; i < chunks; ++i)
        port.QueueReply(Response(0xC8, 0));
    port.QueueReply(Response(0xCA, 0));
}

enum Form { kBuffer, kStream };

int Upload(CCommProtocol& protocol, Form form, const Bytes& data, ULWord total, ULWord chunk)
{
    if (form == kBuffer)
        return protocol.SendData(data.data(), total, chunk);
    std::istringstream stream(AsString(data));
    return protocol.SendData(stream, total, chunk);
}

TEST(Upload, ChunkSequences)
{
    const struct {
        ULWord total;
        ULWord chunk;
        std::vector<size_t> sizes;
    } cases[] = {
        {10, 4, {4, 4, 2}}, {8, 4, {4, 4}}, {1, 4, {1}}, {5, 1, {1, 1, 1, 1, 1}}, {41, 16, {16, 16, 9}},
    };
    for (Form form : {kBuffer, kStream}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "form " << form << " total " << c.total << " chunk "
                                            << c.chunk);
            ScriptedLink h;
            const Bytes data = Pattern(c.total);
            AcceptUpload(h._port, c.sizes.size());
            EXPECT_EQ(kOK, Upload(h._protocol, form, data, c.total, c.chunk));
            std::vector<Bytes> expected;
            size_t offset = 0;
            for (size_t n : c.sizes) {
                expected.push_back(Chunk(data, offset, n));
                offset += n;
            }
            expected.push_back(kTransferComplete);
            EXPECT_EQ(expected, h._port._writes);
            EXPECT_EQ('F', h._port._events[0]);
            EXPECT_EQ(c.sizes.size(), h._protocol.GetChunksSent());
        }
    }
}

TEST(Upload, ZeroTotalOnlyCloses)
{
    for (Form form : {kBuffer, kStream}) {
        ScriptedLink h;
        h._port.QueueReply(Response(0xCA, 0));
        EXPECT_EQ(kOK, Upload(h._protocol, form, Bytes(), 0, 4));
        EXPECT_EQ(std::vector<Bytes>{kTransferComplete}, h._port._writes);
        EXPECT_EQ("FW", h._port._events);
    }
}

TEST(Upload, ChunkSizeMustFitTheLengthField)
{
    const struct {
        ULWord chunk;
        int status;
    } refused[] = {{0, kPacketSizeOfZero}, {65531, kIllegalArgument}, {100000, kIllegalArgument}};
    for (const auto& c : refused) {
        SCOPED_TRACE(c.chunk);
        ScriptedLink h;
        const Bytes data = Pattern(10);
        EXPECT_EQ(c.status, h._protocol.SendData(data.data(), 10, c.chunk));
        EXPECT_TRUE(h._port._writes.empty());
    }
    ScriptedLink h;
    const Bytes data = Pattern(65531);
    AcceptUpload(h._port, 2);
    EXPECT_EQ(kOK, h._protocol.SendData(data.data(), 65531, 65530));
    ASSERT_EQ(3u, h._port._writes.size());
    EXPECT_EQ(Chunk(data, 0, 65530), h._port._writes[0]);
    EXPECT_EQ(Chunk(data, 65530, 1), h._port._writes[1]);
}

TEST(Upload, AbortFlagSetBeforeTheFirstChunk)
{
    const Bytes data = Pattern(12);
    {
        ScriptedLink h;
        h._protocol.SetAbortFlag(true);
        h._port.QueueReply(Response(0xD1, 0));
        EXPECT_EQ(kOpAborted, h._protocol.SendData(data.data(), 12, 4));
        EXPECT_EQ(std::vector<Bytes>{kAbort}, h._port._writes);
        EXPECT_FALSE(h._protocol.GetAbortFlag());
    }
}

TEST(Upload, AbortRaisedDuringChunks)
{
    const Bytes data = Pattern(12);
    const struct {
        const char* name;
        size_t raiseAtChunk;
        int status;
        size_t chunksWritten;
        bool flagAfter;
    } cases[] = {
        {"after the first of three", 1, kOpAborted, 1, false},
        {"after the second of three", 2, kOpAborted, 2, false},
        {"during the last chunk", 3, kOK, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        // A firmware-style progress basis so that every accepted chunk reports.
        h._port.QueueReply(ResponseWithLength(0xC7, 6, 0, {0x00, 0x04}));
        size_t accepted = 0;
        h._progress._onProgress = [&] {
            if (h._protocol.GetChunksSent() > accepted) {
                accepted = h._protocol.GetChunksSent();
                if (accepted == c.raiseAtChunk)
                    h._protocol.SetAbortFlag(true);
            }
        };
        for (size_t i = 0; i < c.chunksWritten; ++i)
            h._port.QueueReply(Response(0xC8, 0));
        h._port.QueueReply(Response(c.status == kOK ? 0xCA : 0xD1, 0));
        std::istringstream stream(AsString(data));
        EXPECT_EQ(c.status, h._protocol.FPGAFirmwareUpdate(1, 0, 0, stream, 12, 0));
        ASSERT_EQ(c.chunksWritten + 2, h._port._writes.size());
        EXPECT_EQ(c.status == kOK ? kTransferComplete : kAbort, h._port._writes.back());
        EXPECT_EQ(c.flagAfter, h._protocol.GetAbortFlag());
    }
}

TEST(Upload, FlagLeftFromTheLastChunkCancelsTheNextUpload)
{
    ScriptedLink h;
    const Bytes data = Pattern(4);
    h._port.QueueReply(ResponseWithLength(0xC7, 6, 0, {0x00, 0x04}));
    h._progress._onProgress = [&] {
        if (h._protocol.GetChunksSent() == 1)
            h._protocol.SetAbortFlag(true);
    };
    AcceptUpload(h._port, 1);
    std::istringstream stream(AsString(data));
    EXPECT_EQ(kOK, h._protocol.FPGAFirmwareUpdate(1, 0, 0, stream, 4, 0));
    EXPECT_TRUE(h._protocol.GetAbortFlag());
    h._progress._onProgress = nullptr;
    h._port._writes.clear();
    h._port.QueueReply(Response(0xD1, 0));
    EXPECT_EQ(kOpAborted, h._protocol.SendData(data.data(), 4, 4));
    EXPECT_EQ(std::vector<Bytes>{kAbort}, h._port._writes);
    EXPECT_FALSE(h._protocol.GetAbortFlag());
}

TEST(Upload, FailuresEndTheUploadWithoutClosing)
{
    const Bytes data = Pattern(10);
    {
        SCOPED_TRACE("stream ends early");
        ScriptedLink h;
        h._port.QueueReply(Response(0xC8, 0));
        std::istringstream stream(AsString(Pattern(6)));
        EXPECT_EQ(kCannotReadFromStream, h._protocol.SendData(stream, 10, 4));
        EXPECT_EQ(std::vector<Bytes>{Chunk(Pattern(6), 0, 4)}, h._port._writes);
    }
    {
        SCOPED_TRACE("chunk refused by the converter");
        ScriptedLink h;
        h._port.QueueReply(Response(0xC8, 0));
        h._port.QueueReply(Concat(Response(0xC8, 1), {0x01, 0x02}));
        EXPECT_EQ(kUnknownError, h._protocol.SendData(data.data(), 10, 4));
        EXPECT_EQ(2u, h._port._writes.size());
        EXPECT_EQ(0u, h._port.Pending());
        EXPECT_EQ(1u, h._protocol.GetChunksSent());
    }
    {
        SCOPED_TRACE("no answer to a chunk");
        ScriptedLink h;
        testing::internal::CaptureStderr();
        EXPECT_EQ(kTimedOut, h._protocol.SendData(data.data(), 10, 4));
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(1u, h._port._writes.size());
    }
    {
        SCOPED_TRACE("write fails");
        ScriptedLink h;
        h._port._failWrites = true;
        EXPECT_EQ(kCommWriteFailed, h._protocol.SendData(data.data(), 10, 4));
        EXPECT_TRUE(h._text.isEmpty());
    }
}

TEST(Download, ChunkSequences)
{
    const Bytes data = Pattern(41);
    const struct {
        const char* name;
        ULWord total;
        ULWord chunk;
        std::vector<size_t> answers; // bytes sent per request
        std::vector<unsigned> requests;
    } cases[] = {
        {"whole chunks", 10, 4, {4, 4, 2}, {4, 4, 2}},
        {"a chunk smaller than asked", 10, 4, {4, 2, 4}, {4, 4, 4}},
        {"41 in 16", 41, 16, {16, 16, 9}, {16, 16, 9}},
        {"zero answers in between", 8, 4, {0, 0, 4, 0, 0, 4}, {4, 4, 4, 4, 4, 4}},
        {"one request", 3, 16, {3}, {3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        size_t offset = 0;
        for (size_t n : c.answers) {
            h._port.QueueReply(DataAnswer(data, offset, n));
            offset += n;
        }
        h._port.QueueReply(Response(0xCA, 0));
        Bytes buffer(c.total + 1, 0xCC);
        EXPECT_EQ(kOK, h._protocol.RequestData(buffer.data(), c.total, c.chunk));
        std::vector<Bytes> expected;
        for (unsigned k : c.requests)
            expected.push_back(Request(k));
        expected.push_back(kTransferComplete);
        EXPECT_EQ(expected, h._port._writes);
        Bytes want(data.begin(), data.begin() + long(c.total));
        want.push_back(0xCC);
        EXPECT_EQ(want, buffer);
    }
}

TEST(Download, ZeroTotalOnlyCloses)
{
    ScriptedLink h;
    h._port.QueueReply(Response(0xCA, 0));
    EXPECT_EQ(kOK, h._protocol.RequestData(nullptr, 0, 4));
    EXPECT_EQ(std::vector<Bytes>{kTransferComplete}, h._port._writes);
}

TEST(Download, Failures)
{
    const Bytes data = Pattern(10);
    const struct {
        const char* name;
        std::vector<Bytes> answers;
        int status;
        size_t requests;
        bool closed; // the last write closes the transfer
    } cases[] = {
        {"more than remains", {DataAnswer(data, 0, 4), DataAnswer(Pattern(7), 0, 7)},
         kByteCountMismatch, 2, false},
        {"count field short", {Response(0xC9, 0, {0x00})}, kTimedOut, 1, false},
        {"data short", {ResponseWithLength(0xC9, 10, 0, {0x00, 0x04, data[0], data[1]})}, kTimedOut, 1, false},
        {"second chunk short",
         {DataAnswer(data, 0, 4), ResponseWithLength(0xC9, 10, 0, {0x00, 0x04, data[4], data[5]})}, kTimedOut,
         2, false},
        {"endless zero answers",
         {DataAnswer(data, 0, 0), DataAnswer(data, 0, 0), DataAnswer(data, 0, 0),
          DataAnswer(data, 0, 0), DataAnswer(data, 0, 0)},
         kPacketSizeOfZero, 3, false},
        {"error status", {Response(0xC9, 4)}, kUnknownError, 1, false},
        {"closing refused", {DataAnswer(data, 0, 4), DataAnswer(data, 4, 4), DataAnswer(data, 8, 2),
                             Response(0xCA, 4)},
         kUnknownError, 4, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        for (const Bytes& answer : c.answers)
            h._port.QueueReply(answer);
        Bytes buffer(12, 0xCC);
        testing::internal::CaptureStderr();
        EXPECT_EQ(c.status, h._protocol.RequestData(buffer.data(), 10, 4));
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(Bytes(12, 0xCC), buffer) << "the caller's buffer is as it was";
        EXPECT_EQ(c.requests, h._port._writes.size());
        EXPECT_EQ(c.closed, h._port._writes.back() == kTransferComplete);
        EXPECT_EQ(0u, h._port.Pending());
    }
}

TEST(Download, ChunkSizeBounds)
{
    Bytes buffer(4);
    ScriptedLink h;
    EXPECT_EQ(kPacketSizeOfZero, h._protocol.RequestData(buffer.data(), 4, 0));
    EXPECT_EQ(kIllegalArgument, h._protocol.RequestData(buffer.data(), 4, 65536));
    EXPECT_TRUE(h._port._writes.empty());
}

// The commands that open a transfer, each with a 10-byte image in chunks of 4.
struct Opening {
    const char* name;
    UByte response;
    Bytes request;
    bool flushFirst;
    bool exactSix; // else: any length above 5
    bool flushOnBadLength;
    bool upload;
    std::function<int(CCommProtocol&, Bytes& buffer)> call;
};

std::vector<Opening> Openings()
{
    static const Bytes image = Pattern(10);
    return {
        {"ReadConfigData", 0xCC, {0x8C, 0x00, 0x07, 0x01, 0x02, 0x00, 0x0A}, false, false, true,
         false, [](CCommProtocol& p, Bytes& b) { return p.ReadConfigData(1, 2, b.data(), 10); }},
        {"WriteConfigData", 0xCB, {0x8B, 0x00, 0x07, 0x01, 0x02, 0x00, 0x0A}, true, true, false,
         true, [](CCommProtocol& p, Bytes&) { return p.WriteConfigData(1, 2, image.data(), 10); }},
        {"ReadDeviceData", 0xD4,
         {0x94, 0x00, 0x0D, 0x01, 0x02, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x0A}, true,
         true, true, false,
         [](CCommProtocol& p, Bytes& b) { return p.ReadDeviceData(1, 2, 0x01020304, b.data(), 10); }},
        {"WriteDeviceData buffer", 0xD3,
         {0x93, 0x00, 0x0D, 0x01, 0x02, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x0A}, true,
         true, false, true,
         [](CCommProtocol& p, Bytes&) { return p.WriteDeviceData(1, 2, 0x01020304, image.data(), 10); }},
        {"WriteDeviceData stream", 0xD3,
         {0x93, 0x00, 0x0D, 0x01, 0x02, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x0A}, true,
         true, true, true,
         [](CCommProtocol& p, Bytes&) {
             std::istringstream s(AsString(image));
             return p.WriteDeviceData(1, 2, 0x01020304, s, 10);
         }},
        {"SafeBootFirmwareUpdate", 0xC5, {0x85, 0x00, 0x05, 0x00, 0x0A}, false, false, true, true,
         [](CCommProtocol& p, Bytes&) {
             std::istringstream s(AsString(image));
             return p.SafeBootFirmwareUpdate(s, 10);
         }},
        {"CNCAppFirmwareUpdate", 0xC6, {0x86, 0x00, 0x05, 0x00, 0x0A}, false, false, true, true,
         [](CCommProtocol& p, Bytes&) {
             std::istringstream s(AsString(image));
             return p.CNCAppFirmwareUpdate(s, 10);
         }},
        {"FPGAFirmwareUpdate", 0xC7,
         {0x87, 0x00, 0x0D, 0x01, 0x02, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x0A}, true,
         false, true, true,
         [](CCommProtocol& p, Bytes&) {
             std::istringstream s(AsString(image));
             return p.FPGAFirmwareUpdate(1, 2, 0x01020304, s, 10, 0);
         }},
        {"LUTFirmwareUpdate", 0xE1,
         {0xA1, 0x00, 0x12, 0x01, 0x02, 0x03, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x0A,
          0x11, 0x12, 0x13, 0x14},
         true, false, true, true,
         [](CCommProtocol& p, Bytes&) {
             std::istringstream s(AsString(image));
             return p.LUTFirmwareUpdate(1, 2, 3, 0x11121314, 0x01020304, s, 10);
         }},
    };
}

void QueueMoves(ScriptedSerial& port, bool upload)
{
    const Bytes image = Pattern(10);
    if (upload) {
        AcceptUpload(port, 3);
        return;
    }
    port.QueueReply(DataAnswer(image, 0, 4));
    port.QueueReply(DataAnswer(image, 4, 4));
    port.QueueReply(DataAnswer(image, 8, 2));
    port.QueueReply(Response(0xCA, 0));
}

TEST(OpeningCommands, RequestAndWholeTransfer)
{
    const Bytes image = Pattern(10);
    for (const Opening& c : Openings()) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        h._port.QueueReply(Response(c.response, 0, {0x00, 0x04}));
        QueueMoves(h._port, c.upload);
        Bytes buffer(10, 0xCC);
        EXPECT_EQ(kOK, c.call(h._protocol, buffer));
        ASSERT_EQ(5u, h._port._writes.size());
        EXPECT_EQ(c.request, h._port._writes[0]);
        EXPECT_EQ(c.flushFirst ? 'F' : 'W', h._port._events[0]);
        if (c.upload) {
            EXPECT_EQ(Chunk(image, 0, 4), h._port._writes[1]);
            EXPECT_EQ(Chunk(image, 8, 2), h._port._writes[3]);
        } else {
            EXPECT_EQ(Request(4), h._port._writes[1]);
            EXPECT_EQ(Request(2), h._port._writes[3]);
            EXPECT_EQ(image, buffer);
        }
        EXPECT_EQ(kTransferComplete, h._port._writes[4]);
    }
}

TEST(OpeningCommands, ResponseLengthRules)
{
    for (const Opening& c : Openings()) {
        for (unsigned length : {4u, 5u, 6u, 7u, 8u}) {
            SCOPED_TRACE(testing::Message() << c.name << " length " << length);
            const bool fits = c.exactSix ? length == 6 : length > 5;
            ScriptedLink h;
            // Header, chunk size and two more bytes, whatever the length says.
            h._port.QueueReply(ResponseWithLength(c.response, length, 0, {0x00, 0x04, 0x77, 0x77}));
            QueueMoves(h._port, c.upload);
            Bytes buffer(10);
            const int status = c.call(h._protocol, buffer);
            if (fits) {
                EXPECT_EQ(kOK, status);
            } else {
                EXPECT_EQ(kBadCmdByteCount, status);
                EXPECT_EQ(1u, h._port._writes.size());
                EXPECT_EQ(c.flushOnBadLength ? 0u : 4u, h._port.Pending());
            }
        }
    }
}

TEST(OpeningCommands, ChunkSizeAnswer)
{
    for (const Opening& c : Openings()) {
        SCOPED_TRACE(c.name);
        {
            ScriptedLink h;
            h._port.QueueReply(ResponseWithLength(c.response, 6, 0, {0x00, 0x00, 0x55}));
            Bytes buffer(10);
            EXPECT_EQ(kPacketSizeOfZero, c.call(h._protocol, buffer));
            EXPECT_EQ(1u, h._port._writes.size());
            EXPECT_EQ(0u, h._port.Pending());
        }
        {
            ScriptedLink h;
            h._port.QueueReply(ResponseWithLength(c.response, 6, 0, {0x00}));
            Bytes buffer(10);
            EXPECT_EQ(kTimedOut, c.call(h._protocol, buffer));
            EXPECT_EQ(1u, h._port._writes.size());
        }
        if (c.upload) {
            // Above what an upload chunk's length field carries.
            ScriptedLink h;
            h._port.QueueReply(ResponseWithLength(c.response, 6, 0, {0xFF, 0xFB}));
            Bytes buffer(10);
            EXPECT_EQ(kIllegalArgument, c.call(h._protocol, buffer));
            EXPECT_EQ(1u, h._port._writes.size());
        }
    }
}

TEST(OpeningCommands, InterfaceCheck)
{
    const Bytes image = Pattern(4);
    Bytes buffer(4);
    ScriptedLink h;
    h._port.Preload({0x01});
    EXPECT_EQ(kBadInterface, h._protocol.ReadDeviceData(4, 0, 0, buffer.data(), 4));
    EXPECT_EQ(kBadInterface, h._protocol.WriteDeviceData(4, 0, 0, image.data(), 4));
    EXPECT_EQ("FF", h._port._events);
    EXPECT_EQ(0u, h._port.Pending());

    // The stream form sends the interface unchecked.
    h._port.QueueReply(Response(0xD3, 0, {0x00, 0x04}));
    AcceptUpload(h._port, 1);
    std::istringstream stream(AsString(image));
    EXPECT_EQ(kOK, h._protocol.WriteDeviceData(4, 0, 0, stream, 4));
    EXPECT_EQ(4, h._port._writes[0][3]);
}

TEST(OpeningCommands, FPGAChunkOverride)
{
    const Bytes image = Pattern(600);
    {
        ScriptedLink h;
        h._port.QueueReply(Response(0xC7, 0, {0x00, 0x04}));
        AcceptUpload(h._port, 2);
        std::istringstream stream(AsString(image));
        EXPECT_EQ(kOK, h._protocol.FPGAFirmwareUpdate(1, 0, 0, stream, 600, 512));
        ASSERT_EQ(4u, h._port._writes.size());
        EXPECT_EQ(Chunk(image, 0, 512), h._port._writes[1]);
        EXPECT_EQ(Chunk(image, 512, 88), h._port._writes[2]);
        EXPECT_EQ(2u, h._protocol.GetExpectedUnits());
    }
    {
        ScriptedLink h;
        h._port.QueueReply(ResponseWithLength(0xC7, 6, 0));
        std::istringstream stream(AsString(image));
        testing::internal::CaptureStderr();
        EXPECT_EQ(kTimedOut, h._protocol.FPGAFirmwareUpdate(1, 0, 0, stream, 600, 512));
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(1u, h._port._writes.size());
    }
}

TEST(FirmwareProgress, BusyUnitsRescaledToChunks)
{
    const Bytes image = Pattern(400);
    const struct {
        const char* name;
        UByte response;
        std::function<int(CCommProtocol&, std::istream&)> call;
        ULWord expectedUnits;
        float last;
    } cases[] = {
        {"safe boot", 0xC5, [](CCommProtocol& p, std::istream& s) { return p.SafeBootFirmwareUpdate(s, 400); },
         100, 1.0f},
        {"application", 0xC6, [](CCommProtocol& p, std::istream& s) { return p.CNCAppFirmwareUpdate(s, 400); },
         105, 110.0f / 115.0f},
        {"fpga", 0xC7,
         [](CCommProtocol& p, std::istream& s) { return p.FPGAFirmwareUpdate(1, 0, 0, s, 400, 0); },
         100, 1.0f},
        {"lookup table", 0xE1,
         [](CCommProtocol& p, std::istream& s) { return p.LUTFirmwareUpdate(1, 0, 2, 0, 0, s, 400); },
         100, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        ScriptedSerial::Reply opening;
        for (int i = 0; i < 10; ++i)
            opening.push_back({Response(c.response, 2)});
        opening.push_back({Response(c.response, 0, {0x00, 0x04})});
        h._port.QueueReply(opening);
        AcceptUpload(h._port, 100);
        std::istringstream stream(AsString(image));
        EXPECT_EQ(kOK, c.call(h._protocol, stream));
        EXPECT_EQ(10u, h._protocol.GetBusyUnits());
        EXPECT_EQ(c.expectedUnits, h._protocol.GetExpectedUnits());
        EXPECT_EQ(100u, h._protocol.GetChunksSent());
        const std::vector<float>& v = h._progress._values;
        ASSERT_EQ(1u + 10u + 100u, v.size());
        EXPECT_EQ(0.0f, v[0]);
        EXPECT_FLOAT_EQ(20.0f / 220.0f, v[10]);
        EXPECT_FLOAT_EQ(11.0f / float(10 + c.expectedUnits), v[11]);
        EXPECT_FLOAT_EQ(c.last, v.back());
    }
}

TEST(FirmwareProgress, CountersOnlyResetByTheirOwners)
{
    const Bytes image = Pattern(8);
    ScriptedLink h;
    for (int round = 1; round <= 2; ++round) {
        h._port.QueueReply(Response(0xCB, 0, {0x00, 0x04}));
        AcceptUpload(h._port, 2);
        EXPECT_EQ(kOK, h._protocol.WriteConfigData(0, 0, image.data(), 8));
        EXPECT_EQ(ULWord(2 * round), h._protocol.GetChunksSent());
    }
    // No amount of work is known, so nothing was reported.
    EXPECT_TRUE(h._progress._values.empty());

    // The stream form of the device-data write resets them and shows 0.
    h._port.QueueReply(Response(0xD3, 0, {0x00, 0x04}));
    AcceptUpload(h._port, 2);
    std::istringstream stream(AsString(image));
    EXPECT_EQ(kOK, h._protocol.WriteDeviceData(1, 0, 0, stream, 8));
    EXPECT_EQ(2u, h._protocol.GetChunksSent());
    EXPECT_EQ(std::vector<float>{0.0f}, h._progress._values);
}

} // namespace
