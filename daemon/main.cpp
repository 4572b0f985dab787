#include <QCoreApplication>
#include <QtGlobal>

#include <unistd.h>

#include "minimanager.h"
#include "stopsignals.h"

int main(int argc, char* argv[])
{
    if (::getuid() == 0)
        qWarning("This application will not run properly as root.");

    QCoreApplication app(argc, argv);
    StopSignals stopSignals;
    MiniManager manager(&app);
    app.exec();
    return 0;
}
