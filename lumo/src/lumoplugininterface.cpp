#include "lumo/lumoplugininterface.h"

#include <dlfcn.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QList>
#include <QStringList>

#include "lumo/lumo.h"
#include "lumo/lumolog.h"

namespace {

const QString kUnit = QStringLiteral("lumoplugininterface");

// A plug-in's own symbols take precedence over those already loaded. The
// sanitizer runtimes refuse such libraries, so sanitized builds load
// plainly.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
const int kOpenFlags = RTLD_NOW;
#else
const int kOpenFlags = RTLD_NOW | RTLD_DEEPBIND;
#endif

// Plug-ins that left their set (displaced by a later one of the same name,
// or outliving the set) stay loaded, and reachable, until the process ends:
// the list is never destroyed.
QList<LumoPluginItem*>* retainedItems()
{
    static QList<LumoPluginItem*>* const items = new QList<LumoPluginItem*>;
    return items;
}

void logError(QString const& text)
{
    LumoLogStream(LumoLog::defaultLog(), kUnit, __LINE__, 1) << text;
}

} // namespace

// --- the set ------------------------------------------------------------------------

LumoPluginInterface::LumoPluginInterface(int interfaceVersion, QString const& directory)
    : _interfaceVersion(interfaceVersion), _directory(directory)
{
    _directory.replace(QLatin1String("${ORIGIN}"), QCoreApplication::applicationDirPath());
    open();
}

LumoPluginInterface::~LumoPluginInterface()
{
    if (!_items.isEmpty())
        retainedItems()->append(_items.values());
}

void LumoPluginInterface::open()
{
    const bool debugBuild = Lumo::isBuiltInDebug();
    const QStringList entries = QDir(_directory).entryList(QDir::Files, QDir::NoSort);
    for (QString const& entry : entries) {
        QString path = _directory + QLatin1Char('/') + entry;
        if (!debugBuild) {
            if (path.endsWith(QLatin1String("_dbg.so")))
                continue;
        } else {
            const QString candidate = path.left(path.size() - 3) + QLatin1String("_dbg.so");
            if (QFileInfo(candidate).isFile())
                path = candidate;
        }
        if (!QLibrary::isLibrary(path))
            continue;
        LumoPluginItem* item = new LumoPluginItem(this, path);
        if (item->state() == LumoPluginItem::Failed) {
            logError(QStringLiteral("Plugin open failed: %1").arg(item->error()));
            delete item;
            continue;
        }
        if (LumoPluginItem* displaced = _items.value(item->name()))
            retainedItems()->append(displaced);
        _items.insert(item->name(), item);
    }
}

int LumoPluginInterface::init()
{
    const QStringList names = _items.keys();
    for (QString const& name : names)
        init(name);
    return 0;
}

bool LumoPluginInterface::init(QString const& name)
{
    LumoPluginItem* item = _items.value(name);
    if (!item) {
        logError(QStringLiteral("Failed to init plugin '%1': No plugin by that name found").arg(name));
        return false;
    }
    if (item->state() == LumoPluginItem::Initialised)
        return true;
    LumoLogStream(LumoLog::defaultLog(), kUnit, __LINE__, 3)
        << QStringLiteral("Loading plugin '%1': %2").arg(item->name(), item->filePath());
    if (!item->init()) {
        logError(QStringLiteral("Plugin '%1' error: %2").arg(item->name(), item->error()));
        return false;
    }
    return true;
}

// --- one plug-in ----------------------------------------------------------------------

LumoPluginItem::LumoPluginItem(LumoPluginInterface* owner, QString const& filePath)
    : _owner(owner),
      _filePath(filePath),
      _state(Opened),
      _handle(nullptr),
      _initEntry(nullptr),
      _cleanupEntry(nullptr),
      _nameEntry(nullptr),
      _requiredEntry(nullptr),
      _versionEntry(nullptr)
{
    open();
}

LumoPluginItem::~LumoPluginItem()
{
    close();
}

void* LumoPluginItem::resolve(char const* symbol, bool required)
{
    dlerror();
    void* entry = dlsym(_handle, symbol);
    if (!entry && required) {
        char const* text = dlerror();
        setError(text ? QString::fromLocal8Bit(text) : QStringLiteral("%1: null symbol").arg(QLatin1String(symbol)));
    }
    return entry;
}

void LumoPluginItem::open()
{
    _handle = dlopen(QFile::encodeName(_filePath).constData(), kOpenFlags);
    if (!_handle) {
        setError(QString::fromLocal8Bit(dlerror()));
        return;
    }
    if (!(_nameEntry = reinterpret_cast<NameEntry>(resolve("__lumoplugin_name", true))) ||
        !(_versionEntry = reinterpret_cast<VersionEntry>(resolve("__lumoplugin_version", true))) ||
        !(_initEntry = reinterpret_cast<InitEntry>(resolve("__lumoplugin_init", true))))
        return;
    _requiredEntry = reinterpret_cast<RequiredEntry>(resolve("__lumoplugin_required", false));
    _cleanupEntry = reinterpret_cast<CleanupEntry>(resolve("__lumoplugin_cleanup", false));

    const int version = _versionEntry();
    if (version != _owner->interfaceVersion()) {
        setError(QStringLiteral("Interface version mismatch.  Expected %1, got %2")
                     .arg(_owner->interfaceVersion())
                     .arg(version));
        return;
    }
    _name = QString::fromLatin1(_nameEntry());
    if (_name.isEmpty())
        setError(QStringLiteral("Plugin has no name."));
}

bool LumoPluginItem::init()
{
    if (_state == Failed)
        return false;
    if (_state == Initialised)
        return true;
    _state = Initialised;
    // A null list is taken as no requirement.
    char const* const* required = _requiredEntry ? _requiredEntry() : nullptr;
    for (; required && *required; ++required) {
        const QString name = QString::fromLatin1(*required);
        if (!_owner->init(name)) {
            setError(QStringLiteral("Failed to init required plugin '%1'").arg(name));
            return false;
        }
    }
    if (_initEntry() == 0) {
        setError(QStringLiteral("Initialize failed"));
        return false;
    }
    return true;
}

void LumoPluginItem::setError(QString const& text)
{
    _state = Failed;
    _error = text;
    close();
}

void LumoPluginItem::close()
{
    if (_handle) {
        dlclose(_handle);
        _handle = nullptr;
    }
}
