#include "serial/simulatedports.h"

#include <QFileInfo>
#include <QtGlobal>

namespace SimulatedPorts {

const char kEnvName[] = "PORTVANE_SERIAL_PORTS";

bool IsConfigured()
{
    return !qEnvironmentVariableIsEmpty(kEnvName);
}

QStringList Configured()
{
    if (!IsConfigured())
        return QStringList();
    return QString::fromLocal8Bit(qgetenv(kEnvName)).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList Existing(const QStringList& paths)
{
    QStringList present;
    for (const QString& path : paths) {
        if (QFileInfo::exists(path))
            present.append(path);
    }
    return present;
}

}
