// The assemblies of one module type, as read from its assembly description,
// and the matching of a converter's firmware against them.
#ifndef PORTVANE_ASSEMBLYRECORDS_H
#define PORTVANE_ASSEMBLYRECORDS_H

#include <map>
#include <vector>

#include <QString>

#include "catalog/cassembly.h"
#include "catalog/cversion.h"

class CAssembliesXMLIF;
class CModuleType;

class AssemblyRecords {
public:
    // Replaces the records with the assemblies the reader lists; a reader
    // without a document (or none) leaves them empty.
    void Fill(const CAssembliesXMLIF* reader);

    const CAssembly* Find(UByte id) const;
    // Highest release; the lowest id among equals; null when empty.
    const CAssembly* Latest() const;
    // No version: Latest. Otherwise the first record in id order with
    // exactly that release, or null.
    const CAssembly* FindByRelease(const CVersion& release) const;
    // Ids ascending by release, equal releases in id order.
    std::vector<UByte> IdsByRelease() const;
    const CAssembly* FindByReleaseAndBoard(const CVersion& release, const QString& board) const;
    // The converter's release when its firmware matches the first record of
    // that release (or when no record has that release); otherwise the
    // null version.
    CVersion FindRelease(const CModuleType& module) const;

    bool IsEmpty() const { return _records.empty(); }
    const std::map<UByte, CAssembly>& Records() const { return _records; }

private:
    std::map<UByte, CAssembly> _records;
};

#endif
