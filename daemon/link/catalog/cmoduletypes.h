// The hardware description directory: module type id to the directory that
// describes it.
#ifndef PORTVANE_CMODULETYPES_H
#define PORTVANE_CMODULETYPES_H

#include <map>

#include <QString>

class CModuleTypes {
public:
    explicit CModuleTypes(const QString& resourceDir);
    virtual ~CModuleTypes();

    // Scans "<resource dir>/types": every sub-directory whose assembly.xml
    // loads is recorded under the module type it names; of several for one
    // type the last in case-insensitive name order wins.
    virtual void FindTypes();

    // The type's directory, ending in "/", or empty text.
    QString FindType(int moduleTypeID) const;
    bool HasType(int moduleTypeID) const { return _types.find(moduleTypeID) != _types.end(); }

private:
    QString _resourceDir;
    std::map<int, QString> _types;
};

#endif
