// Filling the module record from a module-type description file.
#include "catalog/cmoduletype.h"

#include "catalog/ccommonxml.h"
#include "catalog/cmoduletypexmlif.h"

namespace {

CModuleTypeFPGA fpgaFrom(const CModuleTypeFPGAXMLIF& xml)
{
    CModuleTypeFPGA fpga;
    fpga._id = xml.getID();
    fpga._name = xml.getName();
    fpga._interfaceID = xml.getInterfaceID();
    fpga._deviceID = xml.getDeviceID();
    fpga._lutRegisterStart = xml.getLookupTableRegisterStart();
    fpga._firmware._interfaceID = xml.getFirmwareInterfaceID();
    fpga._firmware._deviceID = xml.getFirmwareDeviceID();
    fpga._firmware._start = xml.getFirmwareStart();
    fpga._firmware._revisionStart = xml.getFirmwareRevisionStart();

    OwnedList<CModuleTypeBlockXMLIF> blocks;
    xml.getParamBlocks(blocks.items);
    for (const CModuleTypeBlockXMLIF* item : blocks.items) {
        CModuleTypeBlock block;
        block._id = item->getID();
        block._name = item->getName();
        block._start = item->getStart();
        block._length = item->getLength();
        fpga._blocks[block._id] = block;
    }

    OwnedList<CModuleTypeLookupTableXMLIF> tables;
    xml.getLookupTables(tables.items);
    for (const CModuleTypeLookupTableXMLIF* item : tables.items) {
        CModuleTypeLookupTable table;
        table._id = item->getID();
        table._name = item->getName();
        table._deviceID = item->getDeviceID();
        table._start = item->getStart();
        table._length = item->getLength();
        fpga._lookupTables[table._id] = table;
    }
    return fpga;
}

} // namespace

bool CModuleType::Load(CModuleTypeXMLIF* reader, const QString& path)
{
    _fpgas.clear();
    if (!reader)
        return false;
    if (!reader->load(path)) {
        reader->takeError();
        return false;
    }
    _moduleTypeID = reader->getModuleType();
    _fpgaID = reader->getFpgaID();
    _addr = reader->getAddr();

    OwnedList<CModuleTypeFPGAXMLIF> fpgas;
    reader->getFPGAs(fpgas.items);
    for (const CModuleTypeFPGAXMLIF* item : fpgas.items) {
        CModuleTypeFPGA fpga = fpgaFrom(*item);
        const UByte id = fpga._id;
        _fpgas[id] = std::move(fpga);
    }
    return true;
}
