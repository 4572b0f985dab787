#include "catalog/cassembly.h"

bool CAssemblyFPGA::HasLookupTable(UByte tableID) const
{
    return _lookupTables.find(tableID) != _lookupTables.end();
}

CVersion CAssemblyFPGA::LookupTableVersion(UByte tableID) const
{
    auto it = _lookupTables.find(tableID);
    return it == _lookupTables.end() ? CVersion::_nullVersion : it->second.version;
}

QString CAssemblyFPGA::LookupTableFile(UByte tableID) const
{
    auto it = _lookupTables.find(tableID);
    return it == _lookupTables.end() ? QString() : it->second.filename;
}

const CAssemblyFPGA* CAssembly::findFPGA(UByte fpgaID) const
{
    auto it = _fpgas.find(fpgaID);
    return it == _fpgas.end() ? nullptr : &it->second;
}

QString CAssembly::Describe(bool withBoard) const
{
    QString text = _releaseVersion.ToText();
    if (withBoard && !_boardAssembly.isEmpty())
        text += QStringLiteral(" (") + _boardAssembly + QStringLiteral(")");
    return text;
}

std::vector<UByte> CAssembly::FPGAIds() const
{
    std::vector<UByte> ids;
    for (const auto& entry : _fpgas)
        ids.push_back(entry.first);
    return ids;
}

bool CAssembly::HasFPGA(UByte fpgaID) const
{
    return findFPGA(fpgaID) != nullptr;
}

CVersion CAssembly::FPGAVersion(UByte fpgaID) const
{
    const CAssemblyFPGA* fpga = findFPGA(fpgaID);
    return fpga ? fpga->version : CVersion::_nullVersion;
}

QString CAssembly::FPGAFile(UByte fpgaID) const
{
    const CAssemblyFPGA* fpga = findFPGA(fpgaID);
    return fpga ? fpga->filename : QString();
}

bool CAssembly::HasLookupTable(UByte fpgaID, UByte tableID) const
{
    const CAssemblyFPGA* fpga = findFPGA(fpgaID);
    return fpga ? fpga->HasLookupTable(tableID) : false;
}

CVersion CAssembly::LookupTableVersion(UByte fpgaID, UByte tableID) const
{
    const CAssemblyFPGA* fpga = findFPGA(fpgaID);
    return fpga ? fpga->LookupTableVersion(tableID) : CVersion::_nullVersion;
}

QString CAssembly::LookupTableFile(UByte fpgaID, UByte tableID) const
{
    const CAssemblyFPGA* fpga = findFPGA(fpgaID);
    return fpga ? fpga->LookupTableFile(tableID) : QString();
}

QStringList CAssembly::Files() const
{
    QStringList files;
    files << _safeBootFile << _cncAppFile;
    for (const auto& fpga : _fpgas) {
        files << fpga.second.filename;
        for (const auto& table : fpga.second._lookupTables)
            files << table.second.filename;
    }
    return files;
}

std::map<UByte, std::map<UByte, QString>> CAssembly::LookupTableFiles() const
{
    std::map<UByte, std::map<UByte, QString>> files;
    for (const auto& fpga : _fpgas) {
        std::map<UByte, QString>& tables = files[fpga.first];
        for (const auto& table : fpga.second._lookupTables)
            tables[table.first] = table.second.filename;
    }
    return files;
}
