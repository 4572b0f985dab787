#include "catalog/assemblyrecords.h"

#include <algorithm>

#include "catalog/cassembliesxmlif.h"
#include "catalog/ccommonxml.h"
#include "catalog/cmoduletype.h"

namespace {

CAssembly assemblyFrom(const CAssemblyXMLIF& xml)
{
    CAssembly assembly;
    assembly._id = xml.getID();
    assembly._releaseVersion = xml.getReleaseVersion();
    assembly._boardAssembly = xml.getBoardAssembly();
    assembly._moduleTypeFile = xml.getModuleTypeFile();
    assembly._safeBootVersion = xml.getSafeBootVersion();
    assembly._safeBootFile = xml.getSafeBootFile();
    assembly._cncAppVersion = xml.getCNCAppVersion();
    assembly._cncAppFile = xml.getCNCAppFile();

    OwnedList<CAssemblyFPGAXMLIF> fpgas;
    xml.getFPGAs(fpgas.items);
    for (const CAssemblyFPGAXMLIF* item : fpgas.items) {
        CAssemblyFPGA fpga;
        fpga.version = item->getVersion();
        fpga.filename = item->getFilename();
        OwnedList<CAssemblyLookupTableXMLIF> tables;
        item->getLookupTables(tables.items);
        for (const CAssemblyLookupTableXMLIF* table : tables.items)
            fpga._lookupTables[table->getID()] = CAssemblyLookupTable{table->getVersion(), table->getFilename()};
        assembly._fpgas[item->getID()] = fpga;
    }
    return assembly;
}

// Both bytes must match and neither side may be "no version".
bool versionMatches(const CVersion& wanted, const CVersion& actual)
{
    return !wanted.IsNone() && wanted == actual;
}

} // namespace

void AssemblyRecords::Fill(const CAssembliesXMLIF* reader)
{
    _records.clear();
    if (!reader)
        return;
    OwnedList<CAssemblyXMLIF> assemblies;
    reader->getAssemblies(assemblies.items);
    for (const CAssemblyXMLIF* item : assemblies.items) {
        CAssembly assembly = assemblyFrom(*item);
        const UByte id = assembly._id;
        _records[id] = std::move(assembly);
    }
}

const CAssembly* AssemblyRecords::Find(UByte id) const
{
    auto it = _records.find(id);
    return it == _records.end() ? nullptr : &it->second;
}

const CAssembly* AssemblyRecords::Latest() const
{
    const CAssembly* latest = nullptr;
    for (const auto& entry : _records) {
        if (!latest || entry.second._releaseVersion.Value() > latest->_releaseVersion.Value())
            latest = &entry.second;
    }
    return latest;
}

const CAssembly* AssemblyRecords::FindByRelease(const CVersion& release) const
{
    if (release.IsNone())
        return Latest();
    for (const auto& entry : _records) {
        if (entry.second._releaseVersion == release)
            return &entry.second;
    }
    return nullptr;
}

std::vector<UByte> AssemblyRecords::IdsByRelease() const
{
    std::vector<UByte> ids;
    for (const auto& entry : _records)
        ids.push_back(entry.first);
    std::stable_sort(ids.begin(), ids.end(), [this](UByte a, UByte b) {
        return _records.at(a)._releaseVersion.Value() < _records.at(b)._releaseVersion.Value();
    });
    return ids;
}

const CAssembly* AssemblyRecords::FindByReleaseAndBoard(const CVersion& release, const QString& board) const
{
    if (_records.empty())
        return nullptr;
    CVersion wanted = release;
    if (wanted.IsNone())
        wanted = _records.at(IdsByRelease().front())._releaseVersion;

    std::vector<const CAssembly*> candidates;
    for (const auto& entry : _records) {
        if (entry.second._releaseVersion == wanted)
            candidates.push_back(&entry.second);
    }
    if (candidates.empty())
        return nullptr;

    if (board.isEmpty() && candidates.size() == 1)
        return candidates.front();
    if (!board.isEmpty()) {
        for (const CAssembly* candidate : candidates) {
            if (candidate->_boardAssembly == board)
                return candidate;
        }
    }
    for (const CAssembly* candidate : candidates) {
        if (candidate->_boardAssembly.isEmpty())
            return candidate;
    }
    return nullptr;
}

CVersion AssemblyRecords::FindRelease(const CModuleType& module) const
{
    const CVersion release = module._releaseVersion;
    if (release.IsNone())
        return CVersion::_nullVersion;

    const CAssembly* record = nullptr;
    for (const auto& entry : _records) {
        if (entry.second._releaseVersion == release) {
            record = &entry.second;
            break;
        }
    }
    if (!record)
        return release;

    if (record->_safeBootVersion != module._safeBootVersion.version
        || record->_cncAppVersion != module._cncAppVersion.version)
        return CVersion::_nullVersion;

    if (!record->_boardAssembly.isEmpty()
        && (module._boardAssemblyID.isEmpty() || module._boardAssemblyID != record->_boardAssembly))
        return CVersion::_nullVersion;

    for (const auto& fpgaEntry : module._fpgas) {
        const CModuleTypeFPGA& fpga = fpgaEntry.second;
        if (!versionMatches(record->FPGAVersion(fpgaEntry.first), fpga._firmware.version))
            return CVersion::_nullVersion;
        for (const auto& tableEntry : fpga._lookupTables) {
            if (!versionMatches(record->LookupTableVersion(fpgaEntry.first, tableEntry.first),
                                tableEntry.second.version))
                return CVersion::_nullVersion;
        }
    }
    return release;
}
