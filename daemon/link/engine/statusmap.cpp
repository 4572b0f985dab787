#include "engine/statusmap.h"

#include "engine/engineresults.h"
#include "protocol/commcodes.h"

namespace {

unsigned Bit(StatusMapping m)
{
    return 1u << unsigned(m);
}

const unsigned kAll = 0x7Fu;
const unsigned kImages = Bit(StatusMapping::Firmware) | Bit(StatusMapping::FPGAFirmware) |
                         Bit(StatusMapping::LUTFirmware);

struct Row {
    int status;
    int result;
    unsigned mappings; // bit per StatusMapping the row applies to
};

// The first row that matches both the status and the mapping wins; a status
// without a row is a communication failure.
const Row kRows[] = {
    {kOK, kEngineOK, kAll},
    {kCommWriteFailed, kEngineWriteFailed, kAll},
    {kTimedOut, kEngineTimedOut, kAll},
    {kWrongResponse, kEngineWrongResponse, kAll},
    {kBadCmdByteCount, kEngineWrongResponse, kAll},
    {kUnknownCommand, kEngineResetRefused, Bit(StatusMapping::Reset)},
    {kUnknownCommand, kEngineWrongResponse, kAll},
    {kCannotAllocateMemory, kEngineNoMemory, Bit(StatusMapping::ModuleTypeRead) | kImages},
    {kBadInterface, kEngineBadInterface, Bit(StatusMapping::DeviceData)},
    {kOpAborted, kEngineAborted, kImages},
    {kCannotReadFromStream, kEngineStreamFailed, kImages},
    {kBadByteCountFromStream, kEngineStreamFailed, kImages},
    {kPacketSizeOfZero, kEngineWrongResponse, kImages},
    {kBadFPGAID, kEngineBadFPGAID, Bit(StatusMapping::FPGAFirmware)},
    {kJtagTdoMismatch, kEngineJtagTdoMismatch, Bit(StatusMapping::FPGAFirmware)},
    {kJtagUnknownInstruction, kEngineJtagUnknownInstruction, Bit(StatusMapping::FPGAFirmware)},
};

} // namespace

int MapCommStatus(StatusMapping mapping, int status)
{
    for (const Row& row : kRows) {
        if (row.status == status && (row.mappings & Bit(mapping)))
            return row.result;
    }
    return kEngineCommFailed;
}
