// A platform object for engine tests: a chosen resource directory,
// switchable run-mode queries and counted notifications.
#ifndef PORTVANE_ENGINE_TESTPLATFORM_H
#define PORTVANE_ENGINE_TESTPLATFORM_H

#include <QString>

#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletypexml.h"
#include "platform/cappif.h"
#include "serial/linserialif.h"

class TestPlatform : public CAppIF {
public:
    explicit TestPlatform(const QString& resourceDir) : _resourceDir(resourceDir) {}

    void NotifyModuleTypeChange() override { ++_typeChanges; }
    void NotifyNewConnection() override { ++_newConnections; }
    void CloseLink() override { ++_closedLinks; }
    bool IsRunModeAbove1() override { return _above1; }
    bool IsRunModeAbove2() override { return _above2; }
    CModuleTypeXML* CreateModuleTypeXML() override { return new CModuleTypeXML; }
    CAssembliesXML* CreateAssembliesXML() override { return new CAssembliesXML; }
    CSerialIF* CreateSerialIF() override { return new LinSerialIF; }
    QString GetResourceDir() override { return _resourceDir; }
    QString GetStyleText() override { return QString(); }
    QString GetTitleText() override { return QString(); }
    QString GetStatusText() override { return QString(); }
    QString GetBuildText() override { return QString(); }

    QString _resourceDir;
    bool _above1 = false;
    bool _above2 = false;
    int _typeChanges = 0;
    int _newConnections = 0;
    int _closedLinks = 0;
};

// The source tree's daemon directory, which holds the shipped types/.
QString ShippedResourceDir();

#endif
