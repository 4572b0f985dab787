// Status and command codes of the converter wire protocol.
#ifndef PORTVANE_COMMCODES_H
#define PORTVANE_COMMCODES_H

enum eCommStatus {
    kOK = 0,
    kUnknownError = -1,
    kUnknownCommand = -2,
    kUnimplementedCommand = -3,
    kTimedOut = -4,
    kBadCmdByteCount = -5,
    kWrongResponse = -6,
    kPacketSizeOfZero = -7,
    kParameterLengthMismatch = -8,
    kCannotAllocateMemory = -9,
    kCannotReadFromStream = -10,
    kBadByteCountFromStream = -11,
    kIllegalArgument = -12,
    kBufNotBigEnough = -13,
    kByteCountMismatch = -14,
    kOpAborted = -15,
    kBadInterface = -16,
    kBadConfigBlockID = -17,
    kInvalidConfigData = -18,
    kBadFPGAID = -19,
    kJtagTdoMismatch = -20,
    kJtagUnknownInstruction = -21,
    kBadDevice = -22,
    kNotDoneYet = -23
};

// Writing a packet to the port failed. Not an eCommStatus value: the name
// table answers "Unknown Status" for it, as for every value outside 0 to -23.
const int kCommWriteFailed = -24;

enum eCommandCode {
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

    kReadProtocolVersionResponse = 0xC0,
    kReadModuleInfoResponse = 0xC1,
    kWriteModuleInfoResponse = 0xC2,
    kReadModuleTypeIDResponse = 0xC3,
    kReadFPGAFirmwareVersionResponse = 0xC4,
    kSafeBootFirmwareUpdateResponse = 0xC5,
    kCNCAppFirmwareUpdateResponse = 0xC6,
    kFPGAFirmwareUpdateResponse = 0xC7,
    kSendDataResponse = 0xC8,
    kRequestDataResponse = 0xC9,
    kTransferCompleteResponse = 0xCA,
    kWriteConfigDataResponse = 0xCB,
    kReadConfigDataResponse = 0xCC,
    kWriteConfigParameterResponse = 0xCD,
    kReadConfigParameterResponse = 0xCE,
    kWriteConfigSubblockResponse = 0xCF,
    kReadConfigSubblockResponse = 0xD0,
    kAbortResponse = 0xD1,
    kRefreshConfigResponse = 0xD2,
    kWriteDeviceDataResponse = 0xD3,
    kReadDeviceDataResponse = 0xD4,
    kReadReleaseVersionResponse = 0xD5,
    kWriteReleaseVersionResponse = 0xD6,
    kReadModuleNameResponse = 0xD7,
    kWriteModuleNameResponse = 0xD8,
    kReadBoardAssemblyIDResponse = 0xD9,
    kWriteBoardAssemblyIDResponse = 0xDA,
    kReadSerialIDResponse = 0xDB,
    kWriteSerialIDResponse = 0xDC,
    kWriteDeviceDataImmediateResponse = 0xDD,
    kReadDeviceDataImmediateResponse = 0xDE,
    kWriteModuleTypeIDResponse = 0xDF,
    kResetResponse = 0xE0,
    kLUTFirmwareUpdateResponse = 0xE1,
    kReadLUTFirmwareVersionResponse = 0xE2,

    kUnknownCommandResponse = 0xFF
};

// The long module-name read has a code but no name.
const int kReadLongModuleNameCode = 0xA3;

// The response code offset, and the header sizes of packets and responses.
const int kResponseCodeOffset = 0x40;
const int kCommandHeaderSize = 3;
const int kResponseHeaderSize = 4;

// Internal interfaces of a module: 0 to 3.
const int kMaxInterfaceID = 3;

#endif
