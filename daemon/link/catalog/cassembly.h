// One released hardware and firmware combination of a module type.
#ifndef PORTVANE_CASSEMBLY_H
#define PORTVANE_CASSEMBLY_H

#include <map>
#include <vector>

#include <QString>
#include <QStringList>

#include "catalog/cversion.h"
#include "base/bytetypes.h"

struct CAssemblyLookupTable {
    CVersion version;
    QString filename;
};

class CAssemblyFPGA {
public:
    bool HasLookupTable(UByte tableID) const;
    // The table's version, or the null version.
    CVersion LookupTableVersion(UByte tableID) const;
    // The table's file name, or empty text.
    QString LookupTableFile(UByte tableID) const;

    CVersion version;
    QString filename;
    std::map<UByte, CAssemblyLookupTable> _lookupTables;
};

class CAssembly {
public:
    // Release text, with " (board)" when asked and a board number is set.
    QString Describe(bool withBoard) const;
    std::vector<UByte> FPGAIds() const;
    bool HasFPGA(UByte fpgaID) const;
    CVersion FPGAVersion(UByte fpgaID) const;
    QString FPGAFile(UByte fpgaID) const;
    bool HasLookupTable(UByte fpgaID, UByte tableID) const;
    CVersion LookupTableVersion(UByte fpgaID, UByte tableID) const;
    QString LookupTableFile(UByte fpgaID, UByte tableID) const;
    // Safe-boot file, application file, then per FPGA its file and its
    // tables' files, in id order.
    QStringList Files() const;
    std::map<UByte, std::map<UByte, QString>> LookupTableFiles() const;

    UByte _id = 0;
    CVersion _releaseVersion;
    QString _boardAssembly;
    QString _moduleTypeFile;
    CVersion _safeBootVersion;
    QString _safeBootFile;
    CVersion _cncAppVersion;
    QString _cncAppFile;
    std::map<UByte, CAssemblyFPGA> _fpgas;

private:
    const CAssemblyFPGA* findFPGA(UByte fpgaID) const;
};

#endif
