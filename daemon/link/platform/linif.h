// The platform object on Linux: udev hot-plug monitor polled from the event
// loop, and the factories of the converter link.
#ifndef PORTVANE_LINIF_H
#define PORTVANE_LINIF_H

#include "platform/cappif.h"
#include "platform/portpathwatcher.h"

struct udev;
struct udev_monitor;

class LinIF : public CAppIF {
    Q_OBJECT
public:
    explicit LinIF(QObject* parent = nullptr);
    ~LinIF() override;

    void NotifyModuleTypeChange() override;
    void NotifyNewConnection() override;
    void CloseLink() override;
    bool IsRunModeAbove1() override;
    bool IsRunModeAbove2() override;
    CModuleTypeXML* CreateModuleTypeXML() override;
    CAssembliesXML* CreateAssembliesXML() override;
    CSerialIF* CreateSerialIF() override;
    QString GetResourceDir() override;
    QString GetStyleText() override;
    QString GetTitleText() override;
    QString GetStatusText() override;
    QString GetBuildText() override;

    // Interval of the hot-plug poll.
    static constexpr int kPollIntervalMs = 250;
    // At most this many udev events are handled in one poll.
    static constexpr int kMaxEventsPerPoll = 64;

public slots:
    virtual void checkForDeviceAddRemove();

private:
    void StartMonitor();
    void DrainMonitor();
    void CheckPortPaths();

    QString _resourceDir;
    struct udev* _udev;
    struct udev_monitor* _monitor;
    int _monitorFd;
    PortPathWatcher _portPaths;
};

#endif
