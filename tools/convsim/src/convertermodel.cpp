#include "convsim/convertermodel.h"

#include <algorithm>
#include <set>

namespace convsim {

namespace {

constexpr uint8_t kMaxInterface = 3;
constexpr uint8_t kStatusInterface = 1; // where the status image lives
constexpr uint8_t kStatusDevice = 0;
// Largest data count that still fits one answer next to its count field.
constexpr size_t kMaxAnswerData = kMaxFrame - kHeaderBytes - 2;

Bytes Field(const std::string& text, size_t width)
{
    Bytes out(width, 0);
    std::copy_n(text.begin(), std::min(width, text.size()), out.begin());
    return out;
}

// Stores the field bytes as sent; trailing zero bytes are padding.
std::string FromField(const uint8_t* p, size_t width)
{
    size_t n = width;
    while (n > 0 && p[n - 1] == 0)
        --n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

} // namespace

const ConverterModel::Row ConverterModel::kRows[] = {
    {kReadProtocolVersionCmd, 0, &ConverterModel::ProtocolVersion},
    {kReadModuleInfoCmd, 0, &ConverterModel::ModuleInfo},
    {kWriteModuleInfoCmd, -1, &ConverterModel::WriteModuleInfo},
    {kReadModuleTypeIDCmd, 0, &ConverterModel::ModuleType},
    {kReadFPGAFirmwareVersionCmd, 4, &ConverterModel::FpgaVersion},
    {kSafeBootFirmwareUpdateCmd, 2, &ConverterModel::SafeBootUpdate},
    {kCNCAppFirmwareUpdateCmd, 2, &ConverterModel::AppUpdate},
    {kFPGAFirmwareUpdateCmd, 10, &ConverterModel::FpgaUpdate},
    {kSendDataCmd, -1, &ConverterModel::SendData},
    {kRequestDataCmd, 2, &ConverterModel::RequestData},
    {kTransferCompleteCmd, 0, &ConverterModel::Complete},
    {kWriteConfigDataCmd, 4, &ConverterModel::WriteConfig},
    {kReadConfigDataCmd, 4, &ConverterModel::ReadConfig},
    {kWriteConfigParameterCmd, -1, &ConverterModel::WriteParameter},
    {kReadConfigParameterCmd, 6, &ConverterModel::ReadParameter},
    {kAbortCmd, 0, &ConverterModel::AbortCmd},
    {kRefreshConfigCmd, 2, &ConverterModel::Refresh},
    {kWriteDeviceDataCmd, 10, &ConverterModel::WriteDevice},
    {kReadDeviceDataCmd, 10, &ConverterModel::ReadDevice},
    {kReadReleaseVersionCmd, 0, &ConverterModel::ReleaseVersion},
    {kWriteReleaseVersionCmd, 2, &ConverterModel::WriteReleaseVersion},
    {kReadModuleNameCmd, 0, &ConverterModel::ModuleName},
    {kWriteModuleNameCmd, -1, &ConverterModel::WriteModuleName},
    {kReadBoardAssemblyIDCmd, 0, &ConverterModel::BoardAssembly},
    {kWriteBoardAssemblyIDCmd, int(kBoardAssemblyWidth), &ConverterModel::WriteBoardAssembly},
    {kReadSerialIDCmd, 0, &ConverterModel::Serial},
    {kWriteSerialIDCmd, int(kSerialWidth), &ConverterModel::WriteSerial},
    {kWriteDeviceDataImmediateCmd, -1, &ConverterModel::WriteImmediate},
    {kReadDeviceDataImmediateCmd, 7, &ConverterModel::ReadImmediate},
    {kWriteModuleTypeIDCmd, 1, &ConverterModel::WriteModuleType},
    {kResetCmd, 0, &ConverterModel::ResetCmd},
    {kLUTFirmwareUpdateCmd, 15, &ConverterModel::LutUpdate},
    {kReadLUTFirmwareVersionCmd, 7, &ConverterModel::LutVersion},
    {kReadLongModuleNameCmd, 0, &ConverterModel::LongModuleName},
};

ConverterModel::ConverterModel(const Personality& p) : _p(p)
{
    Bytes image(_p.statusImage.begin(), _p.statusImage.end());
    image[1] = _p.fpgaVersion.major;
    image[2] = _p.fpgaVersion.minor;
    WriteRegisters(kStatusInterface, kStatusDevice, 0, image.data(), image.size());
}

Bytes ConverterModel::Handle(const uint8_t* frame, size_t size)
{
    if (size < kCommandHeader)
        return MakeResponse(kUnknownCommandResponse, kStatusDone);
    const uint8_t code = frame[0];
    const Row* row = nullptr;
    if (IsKnownCommand(code)) {
        for (const Row& r : kRows)
            if (r.code == code)
                row = &r;
    }
    if (!row)
        return MakeResponse(kUnknownCommandResponse, kStatusDone);
    const uint8_t answer = uint8_t(code + kResponseOffset);
    const size_t n = size - kCommandHeader;
    if (row->payloadBytes >= 0 && n != size_t(row->payloadBytes))
        return MakeResponse(answer, kStatusBadLength);
    Reply r = (this->*(row->handler))(frame + kCommandHeader, n);
    if (r.status != kStatusDone)
        r.payload.clear();
    return MakeResponse(answer, r.status, r.payload);
}

uint8_t ConverterModel::ReadRegister(uint8_t iface, uint8_t dev, uint32_t addr) const
{
    auto file = _registers.find({iface, dev});
    if (file == _registers.end())
        return 0;
    auto page = file->second.find(addr / kRegisterPage);
    return page == file->second.end() ? 0 : page->second[addr % kRegisterPage];
}

// Visits [addr, addr + count) one run within a page at a time; addresses
// wrap at 32 bits.
template <typename Visit>
static void ForEachPageRun(uint32_t addr, size_t count, uint32_t pageSize, Visit visit)
{
    for (size_t i = 0; i < count;) {
        const uint32_t at = uint32_t(addr + i);
        const uint32_t offset = at % pageSize;
        const size_t n = std::min<size_t>(pageSize - offset, count - i);
        visit(at / pageSize, offset, i, n);
        i += n;
    }
}

Bytes ConverterModel::ReadRegisters(uint8_t iface, uint8_t dev, uint32_t addr, size_t count) const
{
    Bytes out(count, 0);
    auto file = _registers.find({iface, dev});
    if (file == _registers.end())
        return out;
    ForEachPageRun(addr, count, kRegisterPage, [&](uint32_t index, uint32_t offset, size_t i, size_t n) {
        auto page = file->second.find(index);
        if (page != file->second.end())
            std::copy_n(page->second.begin() + offset, n, out.begin() + long(i));
    });
    return out;
}

bool ConverterModel::WriteRegisters(uint8_t iface, uint8_t dev, uint32_t addr, const uint8_t* data,
                                    size_t count)
{
    if (count > kMaxRegisterBytes)
        return false;
    auto& file = _registers[{iface, dev}];
    // All or nothing: the pages a write would add are counted first.
    size_t added = 0;
    ForEachPageRun(addr, count, kRegisterPage, [&](uint32_t index, uint32_t, size_t, size_t) {
        if (file.count(index) == 0)
            added += kRegisterPage;
    });
    if (_registerBytes + added > kMaxRegisterBytes)
        return false;
    _registerBytes += added;
    ForEachPageRun(addr, count, kRegisterPage, [&](uint32_t index, uint32_t offset, size_t i, size_t n) {
        std::copy_n(data + i, n, file[index].begin() + offset);
    });
    return true;
}

bool ConverterModel::HostWriteRegisters(uint8_t iface, uint8_t dev, uint32_t addr, const uint8_t* data,
                                        size_t count)
{
    if (iface != kStatusInterface || dev != kStatusDevice || addr >= kStatusImageBytes)
        return WriteRegisters(iface, dev, addr, data, count);
    Bytes merged(data, data + count);
    for (size_t i = 0; i < count && addr + i < kStatusImageBytes; ++i) {
        const uint8_t own = _p.readOnlyBits[addr + i];
        merged[i] = uint8_t((ReadRegister(iface, dev, uint32_t(addr + i)) & own) | (data[i] & ~own));
    }
    return WriteRegisters(iface, dev, addr, merged.data(), merged.size());
}

const Bytes* ConverterModel::ConfigMemory(uint8_t fpga, uint8_t block) const
{
    for (const FpgaLayout& f : _p.fpgas)
        if (f.id == fpga)
            for (const BlockLayout& b : f.blocks)
                if (b.id == block)
                    return &b.memory;
    return nullptr;
}

BlockLayout* ConverterModel::FindBlock(uint8_t fpga, uint8_t block, uint8_t* status)
{
    for (FpgaLayout& f : _p.fpgas) {
        if (f.id != fpga)
            continue;
        for (BlockLayout& b : f.blocks)
            if (b.id == block)
                return &b;
        *status = kStatusBadBlock;
        return nullptr;
    }
    *status = kStatusBadFpga;
    return nullptr;
}

// --- identification -------------------------------------------------------

ConverterModel::Reply ConverterModel::ProtocolVersion(const uint8_t*, size_t)
{
    return {kStatusDone, {_p.protocolVersion}};
}

ConverterModel::Reply ConverterModel::ModuleInfo(const uint8_t*, size_t)
{
    const uint8_t state = uint8_t((_p.infoFlag ? 0x80 : 0) | (_p.moduleState & 0x7F));
    return {kStatusDone,
            {_p.safeBootVersion.major, _p.safeBootVersion.minor, _p.appVersion.major,
             _p.appVersion.minor, state}};
}

// Module description: FPGA count; per FPGA id, block count, interface,
// device; per block id, start, length (16-bit each). It must fill the
// packet exactly. Blocks keep the memory they had under the same ids.
ConverterModel::Reply ConverterModel::WriteModuleInfo(const uint8_t* p, size_t n)
{
    if (n < 1)
        return {kStatusBadLength, {}};
    std::vector<FpgaLayout> fpgas;
    std::set<uint8_t> fpgaIds;
    size_t pos = 1;
    size_t memory = 0;
    for (unsigned i = 0; i < p[0]; ++i) {
        if (pos + 4 > n)
            return {kStatusBadLength, {}};
        FpgaLayout f;
        f.id = p[pos];
        const unsigned blocks = p[pos + 1];
        f.interfaceId = p[pos + 2];
        f.deviceId = p[pos + 3];
        pos += 4;
        if (!fpgaIds.insert(f.id).second)
            return {kStatusFailed, {}};
        std::set<uint8_t> blockIds;
        for (unsigned j = 0; j < blocks; ++j) {
            if (pos + 5 > n)
                return {kStatusBadLength, {}};
            BlockLayout b;
            b.id = p[pos];
            b.start = Get16(p + pos + 1);
            const uint16_t length = Get16(p + pos + 3);
            pos += 5;
            if (!blockIds.insert(b.id).second)
                return {kStatusFailed, {}};
            memory += length;
            if (memory > kMaxConfigMemory)
                return {kStatusLengthMismatch, {}};
            b.memory.assign(length, 0);
            if (const Bytes* old = ConfigMemory(f.id, b.id))
                std::copy_n(old->begin(), std::min(old->size(), b.memory.size()), b.memory.begin());
            f.blocks.push_back(std::move(b));
        }
        fpgas.push_back(std::move(f));
    }
    if (pos != n)
        return {kStatusBadLength, {}};
    _p.fpgas = std::move(fpgas);
    _p.moduleState = 1;
    return {};
}

ConverterModel::Reply ConverterModel::ModuleType(const uint8_t*, size_t)
{
    return {kStatusDone, {_p.moduleType}};
}

ConverterModel::Reply ConverterModel::WriteModuleType(const uint8_t* p, size_t)
{
    _p.moduleType = p[0];
    return {};
}

ConverterModel::Reply ConverterModel::FpgaVersion(const uint8_t* p, size_t)
{
    if (p[0] > kMaxInterface)
        return {kStatusBadInterface, {}};
    return {kStatusDone, ReadRegisters(p[0], p[1], Get16(p + 2), 2)};
}

ConverterModel::Reply ConverterModel::LutVersion(const uint8_t* p, size_t)
{
    if (p[0] > kMaxInterface)
        return {kStatusBadInterface, {}};
    return {kStatusDone, ReadRegisters(p[0], p[1], Get32(p + 3), 2)};
}

ConverterModel::Reply ConverterModel::ReleaseVersion(const uint8_t*, size_t)
{
    return {kStatusDone, {_p.releaseVersion.major, _p.releaseVersion.minor}};
}

ConverterModel::Reply ConverterModel::WriteReleaseVersion(const uint8_t* p, size_t)
{
    _p.releaseVersion = {p[0], p[1]};
    return {};
}

ConverterModel::Reply ConverterModel::ModuleName(const uint8_t*, size_t)
{
    return {kStatusDone, Field(_p.moduleName, kShortNameWidth)};
}

ConverterModel::Reply ConverterModel::LongModuleName(const uint8_t*, size_t)
{
    return {kStatusDone, Field(_p.moduleName, kLongNameWidth)};
}

ConverterModel::Reply ConverterModel::WriteModuleName(const uint8_t* p, size_t n)
{
    if (n != kShortNameWidth && n != kLongNameWidth)
        return {kStatusBadLength, {}};
    _p.moduleName = FromField(p, n);
    return {};
}

ConverterModel::Reply ConverterModel::BoardAssembly(const uint8_t*, size_t)
{
    return {kStatusDone, Field(_p.boardAssemblyId, kBoardAssemblyWidth)};
}

ConverterModel::Reply ConverterModel::WriteBoardAssembly(const uint8_t* p, size_t n)
{
    _p.boardAssemblyId = FromField(p, n);
    return {};
}

ConverterModel::Reply ConverterModel::Serial(const uint8_t*, size_t)
{
    return {kStatusDone, Field(_p.serialId, kSerialWidth)};
}

ConverterModel::Reply ConverterModel::WriteSerial(const uint8_t* p, size_t n)
{
    _p.serialId = FromField(p, n);
    return {};
}

// --- registers and single parameters ---------------------------------------

ConverterModel::Reply ConverterModel::WriteImmediate(const uint8_t* p, size_t n)
{
    if (n < 7 || n != size_t(7 + p[6]))
        return {kStatusBadLength, {}};
    if (p[0] > kMaxInterface)
        return {kStatusBadInterface, {}};
    if (_lut.ClaimsWrite(_p.lutFlash, p[0], p[1], Get32(p + 2), p[6]))
        return {_lut.Write(_p.lutFlash, *this, Get32(p + 2), p + 7, p[6]) ? kStatusDone : kStatusFailed, {}};
    if (!HostWriteRegisters(p[0], p[1], Get32(p + 2), p + 7, p[6]))
        return {kStatusFailed, {}};
    return {};
}

ConverterModel::Reply ConverterModel::ReadImmediate(const uint8_t* p, size_t)
{
    if (p[0] > kMaxInterface)
        return {kStatusBadInterface, {}};
    Reply r;
    r.payload.push_back(p[6]);
    Bytes data = _lut.ClaimsRead(_p.lutFlash, p[0], p[1], Get32(p + 2), p[6])
                     ? _lut.Read(_p.lutFlash, *this, Get32(p + 2), p[6])
                     : ReadRegisters(p[0], p[1], Get32(p + 2), p[6]);
    r.payload.insert(r.payload.end(), data.begin(), data.end());
    return r;
}

ConverterModel::Reply ConverterModel::WriteParameter(const uint8_t* p, size_t n)
{
    if (n < 6 || n != 6 + size_t(Get16(p + 4)))
        return {kStatusBadLength, {}};
    uint8_t status = kStatusDone;
    BlockLayout* b = FindBlock(p[0], p[1], &status);
    if (!b)
        return {status, {}};
    const size_t start = Get16(p + 2), length = Get16(p + 4);
    if (start + length > b->memory.size())
        return {kStatusLengthMismatch, {}};
    std::copy_n(p + 6, length, b->memory.begin() + long(start));
    return {};
}

ConverterModel::Reply ConverterModel::ReadParameter(const uint8_t* p, size_t)
{
    uint8_t status = kStatusDone;
    BlockLayout* b = FindBlock(p[0], p[1], &status);
    if (!b)
        return {status, {}};
    const size_t start = Get16(p + 2);
    if (start > b->memory.size())
        return {kStatusLengthMismatch, {}};
    const size_t m = std::min({size_t(Get16(p + 4)), b->memory.size() - start, kMaxAnswerData});
    Reply r;
    Put16(r.payload, uint16_t(m));
    r.payload.insert(r.payload.end(), b->memory.begin() + long(start),
                     b->memory.begin() + long(start + m));
    return r;
}

ConverterModel::Reply ConverterModel::Refresh(const uint8_t* p, size_t)
{
    uint8_t status = kStatusDone;
    if (!FindBlock(p[0], p[1], &status))
        return {status, {}};
    return {};
}

ConverterModel::Reply ConverterModel::ResetCmd(const uint8_t*, size_t)
{
    _transfer = Transfer();
    return {};
}

// --- transfers --------------------------------------------------------------

ConverterModel::Reply ConverterModel::ChunkAnswer() const
{
    Reply r;
    Put16(r.payload, _p.chunkSize);
    return r;
}

ConverterModel::Reply ConverterModel::OpenUpload(Transfer t)
{
    t.kind = Transfer::Upload;
    t.pos = 0;
    t.data.clear();
    _transfer = std::move(t);
    return ChunkAnswer();
}

ConverterModel::Reply ConverterModel::OpenDownload(Transfer t)
{
    t.kind = Transfer::Download;
    t.pos = 0;
    t.total = uint32_t(t.data.size());
    _transfer = std::move(t);
    return ChunkAnswer();
}

ConverterModel::Reply ConverterModel::WriteConfig(const uint8_t* p, size_t)
{
    uint8_t status = kStatusDone;
    BlockLayout* b = FindBlock(p[0], p[1], &status);
    if (!b)
        return {status, {}};
    Transfer t;
    t.target = Transfer::Config;
    t.openCode = kWriteConfigDataCmd;
    t.a = p[0];
    t.b = p[1];
    t.total = Get16(p + 2);
    if (t.total > b->memory.size())
        return {kStatusLengthMismatch, {}};
    return OpenUpload(std::move(t));
}

ConverterModel::Reply ConverterModel::ReadConfig(const uint8_t* p, size_t)
{
    uint8_t status = kStatusDone;
    BlockLayout* b = FindBlock(p[0], p[1], &status);
    if (!b)
        return {status, {}};
    const size_t length = Get16(p + 2);
    if (length > b->memory.size())
        return {kStatusLengthMismatch, {}};
    Transfer t;
    t.target = Transfer::Config;
    t.openCode = kReadConfigDataCmd;
    t.a = p[0];
    t.b = p[1];
    t.data.assign(b->memory.begin(), b->memory.begin() + long(length));
    return OpenDownload(std::move(t));
}

ConverterModel::Reply ConverterModel::WriteDevice(const uint8_t* p, size_t)
{
    if (p[0] > kMaxInterface)
        return {kStatusBadInterface, {}};
    Transfer t;
    t.target = Transfer::Device;
    t.openCode = kWriteDeviceDataCmd;
    t.a = p[0];
    t.b = p[1];
    t.address = Get32(p + 2);
    t.total = Get32(p + 6);
    if (t.total > kMaxDeviceTransfer)
        return {kStatusLengthMismatch, {}};
    return OpenUpload(std::move(t));
}

ConverterModel::Reply ConverterModel::ReadDevice(const uint8_t* p, size_t)
{
    if (p[0] > kMaxInterface)
        return {kStatusBadInterface, {}};
    const uint32_t count = Get32(p + 6);
    if (count > kMaxDeviceTransfer)
        return {kStatusLengthMismatch, {}};
    Transfer t;
    t.target = Transfer::Device;
    t.openCode = kReadDeviceDataCmd;
    t.a = p[0];
    t.b = p[1];
    t.address = Get32(p + 2);
    t.data = ReadRegisters(p[0], p[1], t.address, count);
    return OpenDownload(std::move(t));
}

ConverterModel::Reply ConverterModel::FirmwareUpload(uint8_t code, const uint8_t* p, size_t n,
                                                     uint32_t size)
{
    if (size > kMaxFirmwareBytes)
        return {kStatusLengthMismatch, {}};
    Transfer t;
    t.target = Transfer::Firmware;
    t.openCode = code;
    t.total = size;
    t.header.assign(p, p + n);
    return OpenUpload(std::move(t));
}

ConverterModel::Reply ConverterModel::SafeBootUpdate(const uint8_t* p, size_t n)
{
    return FirmwareUpload(kSafeBootFirmwareUpdateCmd, p, n, Get16(p));
}

ConverterModel::Reply ConverterModel::AppUpdate(const uint8_t* p, size_t n)
{
    return FirmwareUpload(kCNCAppFirmwareUpdateCmd, p, n, Get16(p));
}

// interface, device, start (4), size (4)
ConverterModel::Reply ConverterModel::FpgaUpdate(const uint8_t* p, size_t n)
{
    return FirmwareUpload(kFPGAFirmwareUpdateCmd, p, n, Get32(p + 6));
}

// interface, device, table device, table start (4), size (4), register start (4)
ConverterModel::Reply ConverterModel::LutUpdate(const uint8_t* p, size_t n)
{
    return FirmwareUpload(kLUTFirmwareUpdateCmd, p, n, Get32(p + 7));
}

ConverterModel::Reply ConverterModel::SendData(const uint8_t* p, size_t n)
{
    if (n < 2 || n != 2 + size_t(Get16(p)))
        return {kStatusBadLength, {}};
    if (_transfer.kind != Transfer::Upload)
        return {kStatusNoTransfer, {}};
    const uint32_t len = Get16(p);
    if (len > _transfer.total - _transfer.pos) {
        _transfer = Transfer();
        return {kStatusByteCountMismatch, {}};
    }
    _transfer.data.insert(_transfer.data.end(), p + 2, p + 2 + len);
    _transfer.pos += len;
    return {};
}

ConverterModel::Reply ConverterModel::RequestData(const uint8_t* p, size_t)
{
    if (_transfer.kind != Transfer::Download)
        return {kStatusNoTransfer, {}};
    size_t m = std::min({size_t(Get16(p)), size_t(_transfer.total - _transfer.pos), kMaxAnswerData});
    if (_p.chunkMax != 0)
        m = std::min(m, size_t(_p.chunkMax));
    Reply r;
    Put16(r.payload, uint16_t(m));
    auto from = _transfer.data.begin() + long(_transfer.pos);
    r.payload.insert(r.payload.end(), from, from + long(m));
    _transfer.pos += uint32_t(m);
    return r;
}

uint8_t ConverterModel::Commit()
{
    Transfer& t = _transfer;
    uint8_t status = kStatusDone;
    if (t.target == Transfer::Config) {
        // The module description may have changed while the upload ran.
        BlockLayout* b = FindBlock(t.a, t.b, &status);
        if (!b)
            return status;
        std::copy_n(t.data.begin(), std::min(t.data.size(), b->memory.size()), b->memory.begin());
    } else if (t.target == Transfer::Device) {
        if (!HostWriteRegisters(t.a, t.b, t.address, t.data.data(), t.data.size()))
            status = kStatusFailed;
    } else {
        FirmwareImage img;
        img.code = t.openCode;
        img.header = std::move(t.header);
        img.data = std::move(t.data);
        _images.push_back(std::move(img));
        if (_images.size() > kKeptImages)
            _images.erase(_images.begin());
    }
    return status;
}

ConverterModel::Reply ConverterModel::Complete(const uint8_t*, size_t)
{
    if (_transfer.kind == Transfer::None)
        return {kStatusNoTransfer, {}};
    Reply r;
    if (_transfer.pos != _transfer.total)
        r.status = kStatusByteCountMismatch;
    else if (_transfer.kind == Transfer::Upload)
        r.status = Commit();
    _transfer = Transfer();
    return r;
}

ConverterModel::Reply ConverterModel::AbortCmd(const uint8_t*, size_t)
{
    _transfer = Transfer();
    return {};
}

} // namespace convsim
