// The converter's side of every command: takes one whole command frame and
// returns the final answer bytes. Holds the converter's live state (the
// personality as changed by writes, register files, configuration memory,
// the open transfer and the firmware images received). No I/O, no threads.
#ifndef CONVSIM_CONVERTERMODEL_H
#define CONVSIM_CONVERTERMODEL_H

#include "convsim/lutflash.h"
#include "convsim/personality.h"
#include "convsim/wire.h"

#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace convsim {

// One firmware image received through 0x85, 0x86, 0x87 or 0xA1.
struct FirmwareImage {
    uint8_t code = 0;
    Bytes header; // the opening command's payload (target and size)
    Bytes data;
};

class ConverterModel {
public:
    static constexpr size_t kMaxRegisterBytes = size_t(1) << 22;
    static constexpr uint32_t kMaxDeviceTransfer = uint32_t(1) << 20;
    static constexpr uint32_t kMaxFirmwareBytes = uint32_t(1) << 24;
    static constexpr size_t kMaxConfigMemory = size_t(1) << 20;
    static constexpr size_t kKeptImages = 8;

    explicit ConverterModel(const Personality& p);

    // frame: code, 16-bit length (== size), payload. Returns the answer.
    Bytes Handle(const uint8_t* frame, size_t size);

    const Personality& State() const { return _p; }
    Personality& MutableState() { return _p; }

    uint8_t ReadRegister(uint8_t iface, uint8_t dev, uint32_t addr) const;
    Bytes ReadRegisters(uint8_t iface, uint8_t dev, uint32_t addr, size_t count) const;
    bool WriteRegisters(uint8_t iface, uint8_t dev, uint32_t addr, const uint8_t* data, size_t count);

    // Configuration memory of (fpga, block); null when absent.
    const Bytes* ConfigMemory(uint8_t fpga, uint8_t block) const;
    const std::vector<FirmwareImage>& FirmwareImages() const { return _images; }
    bool TransferOpen() const { return _transfer.kind != Transfer::None; }

private:
    struct Reply {
        uint8_t status = kStatusDone;
        Bytes payload;
    };
    struct Transfer {
        enum Kind { None, Upload, Download } kind = None;
        enum Target { Config, Device, Firmware } target = Config;
        uint8_t openCode = 0;
        uint8_t a = 0, b = 0; // (fpga, block) or (interface, device)
        uint32_t address = 0;
        uint32_t total = 0;
        uint32_t pos = 0;
        Bytes header;
        Bytes data;
    };
    using Handler = Reply (ConverterModel::*)(const uint8_t* p, size_t n);
    struct Row {
        uint8_t code;
        int payloadBytes; // exact payload size, or -1 when the handler checks
        Handler handler;
    };
    static const Row kRows[];

    BlockLayout* FindBlock(uint8_t fpga, uint8_t block, uint8_t* status);
    // A register write from the box: the converter's own status bits stay.
    bool HostWriteRegisters(uint8_t iface, uint8_t dev, uint32_t addr, const uint8_t* data, size_t count);
    Reply OpenUpload(Transfer t);
    Reply OpenDownload(Transfer t);
    Reply ChunkAnswer() const;
    uint8_t Commit();

    Reply ProtocolVersion(const uint8_t*, size_t);
    Reply ModuleInfo(const uint8_t*, size_t);
    Reply WriteModuleInfo(const uint8_t*, size_t);
    Reply ModuleType(const uint8_t*, size_t);
    Reply WriteModuleType(const uint8_t*, size_t);
    Reply FpgaVersion(const uint8_t*, size_t);
    Reply LutVersion(const uint8_t*, size_t);
    Reply WriteParameter(const uint8_t*, size_t);
    Reply ReadParameter(const uint8_t*, size_t);
    Reply ReleaseVersion(const uint8_t*, size_t);
    Reply WriteReleaseVersion(const uint8_t*, size_t);
    Reply ModuleName(const uint8_t*, size_t);
    Reply LongModuleName(const uint8_t*, size_t);
    Reply WriteModuleName(const uint8_t*, size_t);
    Reply BoardAssembly(const uint8_t*, size_t);
    Reply WriteBoardAssembly(const uint8_t*, size_t);
    Reply Serial(const uint8_t*, size_t);
    Reply WriteSerial(const uint8_t*, size_t);
    Reply WriteImmediate(const uint8_t*, size_t);
    Reply ReadImmediate(const uint8_t*, size_t);
    Reply Refresh(const uint8_t*, size_t);
    Reply ResetCmd(const uint8_t*, size_t);
    Reply AbortCmd(const uint8_t*, size_t);
    Reply Complete(const uint8_t*, size_t);
    Reply SendData(const uint8_t*, size_t);
    Reply RequestData(const uint8_t*, size_t);
    Reply WriteConfig(const uint8_t*, size_t);
    Reply ReadConfig(const uint8_t*, size_t);
    Reply WriteDevice(const uint8_t*, size_t);
    Reply ReadDevice(const uint8_t*, size_t);
    Reply SafeBootUpdate(const uint8_t*, size_t);
    Reply AppUpdate(const uint8_t*, size_t);
    Reply FpgaUpdate(const uint8_t*, size_t);
    Reply LutUpdate(const uint8_t*, size_t);
    Reply FirmwareUpload(uint8_t code, const uint8_t* p, size_t n, uint32_t size);

    Personality _p;
    // Register files kept in 256-byte pages, made on first write; a page
    // counts kRegisterPage bytes against kMaxRegisterBytes.
    static constexpr uint32_t kRegisterPage = 256;
    using RegisterPage = std::array<uint8_t, kRegisterPage>;
    std::map<std::pair<uint8_t, uint8_t>, std::map<uint32_t, RegisterPage>> _registers;
    size_t _registerBytes = 0;
    Transfer _transfer;
    std::vector<FirmwareImage> _images;
    LutFlashDevice _lut;
};

} // namespace convsim

#endif
