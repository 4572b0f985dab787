#include "catalog/cmoduletypes.h"

#include <QDebug>
#include <QDir>

#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletype.h"
#include "catalog/descriptionpaths.h"
#include "base/quoteddebug.h"

CModuleTypes::CModuleTypes(const QString& resourceDir) : _resourceDir(resourceDir) {}

CModuleTypes::~CModuleTypes() = default;

void CModuleTypes::FindTypes()
{
    const QString typesPath = DescriptionPaths::TypesDir(_resourceDir);
    QDir dir(typesPath);
    if (!dir.exists()) {
        qDebug().noquote() << "CModuleTypes::FindTypes - ERROR - Failed to locate resource director " << Quoted(typesPath);
        return;
    }
    const QStringList entries =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& entry : entries) {
        const QString path = QStringLiteral("%1/%2/%3").arg(typesPath, entry, QStringLiteral("assembly.xml"));
        // A folder or file that is a link out of the types folder is not read.
        if (!DescriptionPaths::IsInside(typesPath, path)) {
            DescriptionPaths::ReportOutside(path, typesPath);
            continue;
        }
        CAssembliesXML reader;
        if (!reader.load(path))
            continue;
        const int type = reader.getModuleType();
        if (type < 0 || type >= CModuleType::kModuleTypeCount)
            continue;
        _types[type] = QStringLiteral("%1/%2/").arg(typesPath, entry);
    }
}

QString CModuleTypes::FindType(int moduleTypeID) const
{
    auto it = _types.find(moduleTypeID);
    return it == _types.end() ? QString() : it->second;
}
