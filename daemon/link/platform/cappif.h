// The daemon's platform object: hot-plug signals, resource directory,
// description readers, serial ports, run-mode queries and notifications.
#ifndef PORTVANE_CAPPIF_H
#define PORTVANE_CAPPIF_H

#include <QObject>
#include <QString>

class CAssembliesXML;
class CModuleTypeXML;
class CSerialIF;

class CAppIF : public QObject {
    Q_OBJECT
public:
    explicit CAppIF(QObject* parent = nullptr);
    ~CAppIF() override;

    virtual void NotifyModuleTypeChange() = 0;
    virtual void NotifyNewConnection() = 0;
    // Called when a command engine gives its link up.
    virtual void CloseLink() = 0;
    virtual bool IsRunModeAbove1() = 0;
    virtual bool IsRunModeAbove2() = 0;
    // The three factories return new objects owned by the caller.
    virtual CModuleTypeXML* CreateModuleTypeXML() = 0;
    virtual CAssembliesXML* CreateAssembliesXML() = 0;
    virtual CSerialIF* CreateSerialIF() = 0;
    virtual QString GetResourceDir() = 0;
    virtual QString GetStyleText() = 0;
    virtual QString GetTitleText() = 0;
    virtual QString GetStatusText() = 0;
    virtual QString GetBuildText() = 0;

signals:
    void DeviceAddedSignal();
    void DeviceRemovedSignal();
    void NewConnectionSignal();
    void ChangeModuleTypeSignal();
};

#endif
