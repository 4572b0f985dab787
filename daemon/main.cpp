// Portvane: puts the process together. One platform object (hot-plug and
// serial ports), one error sink and the model registry serve the device
// factory; the manager owns the slots; freed heap goes back to the system
// after bursts. Everything is torn down in reverse. Under the journal its
// messages carry their level.
#include <QCoreApplication>
#include <QtGlobal>

#include <unistd.h>

#include "devicefactory.h"
#include "heaptrimmer.h"
#include "journalmessagehandler.h"
#include "minimanager.h"
#include "myerrorreportif.h"
#include "platform/linif.h"
#include "registry.h"
#include "stopsignals.h"

int main(int argc, char* argv[])
{
    JournalMessageHandler::InstallIfJournal();
    if (::getuid() == 0)
        qWarning("This application will not run properly as root.");

    QCoreApplication app(argc, argv);
    StopSignals stopSignals;
    HeapTrimmer heapTrimmer;
    LinIF platform;
    MyErrorReportIF errorReport;
    ModelRegistry models;
    DeviceFactory factory(&platform, &errorReport, &models);
    MiniManager manager(&platform, &factory, &app);
    if (!manager.IsServing())
        return 1;
    app.exec();
    return 0;
}
