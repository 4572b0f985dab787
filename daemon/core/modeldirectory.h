// What the core knows of the converter models: which module types get a
// device wrapper, and the function that makes it. The model registry
// answers for the daemon; main hands it to the device factory.
#ifndef PORTVANE_MODELDIRECTORY_H
#define PORTVANE_MODELDIRECTORY_H

class AssemblyRecords;
class CCmdEngine;
class CModuleType;
class DeviceWrapper;
class QObject;

// Makes a model's wrapper, which takes over the engine, the records and the
// module record and starts the device.
typedef DeviceWrapper* (*WrapperMaker)(CCmdEngine* engine, AssemblyRecords* records,
                                       CModuleType* moduleRecord, QObject* parent);

class ModelDirectory {
public:
    virtual ~ModelDirectory();
    // The maker of the module type's wrapper; null for a module type the
    // factory builds no wrapper for.
    virtual WrapperMaker WrapperFor(int moduleType) const = 0;
};

#endif
