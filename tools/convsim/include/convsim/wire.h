// Byte-level vocabulary of the converter link as the simulated converter
// speaks it: command codes, the device status byte and response building.
#ifndef CONVSIM_WIRE_H
#define CONVSIM_WIRE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace convsim {

using Bytes = std::vector<uint8_t>;

// Command codes the box sends. The answer to a command carries code + 0x40.
// Kept apart from the daemon's list on purpose, as an independent check;
// tests/commandcodes_test.cpp holds the two in agreement.
enum eCommandCode : uint8_t {
    kReadProtocolVersionCmd = 0x80,
    kReadModuleInfoCmd = 0x81,
    kWriteModuleInfoCmd = 0x82,
    kReadModuleTypeIDCmd = 0x83,
    kReadFPGAFirmwareVersionCmd = 0x84,
    kSafeBootFirmwareUpdateCmd = 0x85,
    kCNCAppFirmwareUpdateCmd = 0x86,
    kFPGAFirmwareUpdateCmd = 0x87,
    kSendDataCmd = 0x88,
    kRequestDataCmd = 0x89,
    kTransferCompleteCmd = 0x8A,
    kWriteConfigDataCmd = 0x8B,
    kReadConfigDataCmd = 0x8C,
    kWriteConfigParameterCmd = 0x8D,
    kReadConfigParameterCmd = 0x8E,
    kWriteConfigSubblockCmd = 0x8F,
    kReadConfigSubblockCmd = 0x90,
    kAbortCmd = 0x91,
    kRefreshConfigCmd = 0x92,
    kWriteDeviceDataCmd = 0x93,
    kReadDeviceDataCmd = 0x94,
    kReadReleaseVersionCmd = 0x95,
    kWriteReleaseVersionCmd = 0x96,
    kReadModuleNameCmd = 0x97,
    kWriteModuleNameCmd = 0x98,
    kReadBoardAssemblyIDCmd = 0x99,
    kWriteBoardAssemblyIDCmd = 0x9A,
    kReadSerialIDCmd = 0x9B,
    kWriteSerialIDCmd = 0x9C,
    kWriteDeviceDataImmediateCmd = 0x9D,
    kReadDeviceDataImmediateCmd = 0x9E,
    kWriteModuleTypeIDCmd = 0x9F,
    kResetCmd = 0xA0,
    kLUTFirmwareUpdateCmd = 0xA1,
    kReadLUTFirmwareVersionCmd = 0xA2,
    kReadLongModuleNameCmd = 0xA3,
};

constexpr uint8_t kResponseOffset = 0x40;
constexpr uint8_t kUnknownCommandResponse = 0xFF;

// Device status byte (offset 3 of every answer). 0 and 2 are fixed by the
// link; the failure values are this simulator's own choice and mirror the
// magnitudes of the box's status names so that a log reads naturally.
enum DeviceStatus : uint8_t {
    kStatusDone = 0,
    kStatusFailed = 1,             // generic failure, out of room
    kStatusBusy = 2,               // not done yet, another header follows
    kStatusBadLength = 5,          // packet length does not fit the command
    kStatusLengthMismatch = 8,     // range outside a block / too large
    kStatusByteCountMismatch = 14, // upload overran or fell short
    kStatusNoTransfer = 15,        // chunk or close without an open transfer
    kStatusBadInterface = 16,      // interface id above 3
    kStatusBadBlock = 17,          // no such configuration block
    kStatusBadFpga = 19,           // no such FPGA
};

constexpr size_t kHeaderBytes = 4;   // response header
constexpr size_t kCommandHeader = 3; // command header
constexpr size_t kMaxFrame = 0xFFFF; // the 16-bit length field's limit

// [code][length hi][length lo][status][payload...]; the payload is cut so
// that the whole answer fits the 16-bit length field.
Bytes MakeResponse(uint8_t code, uint8_t status, const Bytes& payload = {});

// [code][length hi][length lo][payload...]
Bytes MakeCommand(uint8_t code, const Bytes& payload = {});

inline uint16_t Get16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t Get32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline void Put16(Bytes& b, uint16_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}

// True for the codes this simulator answers with code + 0x40.
bool IsKnownCommand(uint8_t code);

} // namespace convsim

#endif
