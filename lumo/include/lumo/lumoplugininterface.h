// Plug-ins: shared libraries in one directory that export, under fixed C
// names, their name, the interface version they were built for and an
// init entry, and optionally the names of the plug-ins they require and a
// cleanup entry:
//
//   extern "C" char const* __lumoplugin_name();
//   extern "C" int __lumoplugin_version();
//   extern "C" int __lumoplugin_init();            // 0: failed
//   extern "C" char const** __lumoplugin_required(); // null-terminated
//   extern "C" void __lumoplugin_cleanup();          // never called
//
// A plug-in that fails (to open, through a requirement or in its init
// entry) is unloaded at once, so a failing init entry must leave nothing
// registered; one that initialised stays loaded until the process ends.
// Every problem is reported through the log only.
//
// Used from one thread; no locks.
#ifndef LUMO_LUMOPLUGININTERFACE_H
#define LUMO_LUMOPLUGININTERFACE_H

#include <QHash>
#include <QString>

#include "lumo/lumoglobal.h"

class LumoPluginItem;

// The plug-ins of one directory for one interface version, keyed by the
// names they report.
class LUMO_EXPORT LumoPluginInterface {
public:
    // Every "${ORIGIN}" in the directory stands for the application's
    // directory. Opens every plug-in of the directory.
    LumoPluginInterface(int interfaceVersion, QString const& directory);
    // The plug-ins stay, with their libraries loaded, until the process
    // ends.
    ~LumoPluginInterface();

    LumoPluginInterface(LumoPluginInterface const&) = delete;
    LumoPluginInterface& operator=(LumoPluginInterface const&) = delete;

    // Loads every library of the directory into the table. In a debug
    // build a "<name>_dbg.so" beside a library is loaded in its place; a
    // release build passes "_dbg.so" files over.
    void open();
    // Initialises every plug-in, each after those it requires; 0 always.
    int init();
    // True when the plug-in is initialised or its initialisation is under
    // way (a requirement cycle).
    bool init(QString const& name);

    int interfaceVersion() const { return _interfaceVersion; }

private:
    int _interfaceVersion;
    QString _directory;
    QHash<QString, LumoPluginItem*> _items;
};

// One plug-in library.
class LUMO_EXPORT LumoPluginItem {
public:
    enum State { Opened = 0, Initialised = 1, Failed = 2 };

    // Opens the library at once.
    LumoPluginItem(LumoPluginInterface* owner, QString const& filePath);
    ~LumoPluginItem();

    LumoPluginItem(LumoPluginItem const&) = delete;
    LumoPluginItem& operator=(LumoPluginItem const&) = delete;

    // Loads the library, resolves its entries, checks its version and
    // reads its name; a failure leaves the item Failed, unloaded.
    void open();
    // Initialises the required plug-ins (through the owner, by name), then
    // this one. Initialised from its start on, so that a requirement cycle
    // ends here.
    bool init();
    // Failed, with this text; unloads the library.
    void setError(QString const& text);
    // Unloads the library; the cleanup entry is not called.
    void close();

    int state() const { return _state; }
    QString const& error() const { return _error; }
    QString const& name() const { return _name; }
    QString const& filePath() const { return _filePath; }

private:
    typedef char const* (*NameEntry)();
    typedef int (*VersionEntry)();
    typedef int (*InitEntry)();
    typedef char const* const* (*RequiredEntry)();
    typedef void (*CleanupEntry)();

    // The entry of that name, or null with the loader's text stored.
    void* resolve(char const* symbol, bool required);

    LumoPluginInterface* _owner;
    QString _filePath;
    QString _error;
    QString _name;
    int _state;
    void* _handle;
    InitEntry _initEntry;
    CleanupEntry _cleanupEntry;
    NameEntry _nameEntry;
    RequiredEntry _requiredEntry;
    VersionEntry _versionEntry;
};

#endif
