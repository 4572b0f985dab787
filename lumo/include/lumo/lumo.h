// Library-wide functions of liblumo: start-up, the front of the buffer
// memory pool, the engine factory registries and small process utilities.
#ifndef LUMO_LUMO_H
#define LUMO_LUMO_H

#include <QString>

#include "lumo/lumoglobal.h"

class LumoMemoryPool;
class LumoId;
class LumoStreamEngine;
class LumoStreamFactory;
class LumoVideoDeviceEngine;
class LumoVideoDeviceFactory;
class QObject;
class QVariant;

namespace Lumo {

// Start flags of init.
enum StartFlag {
    StartWithPool = 0x1,  // the library-wide pool, 512 pages (2 MiB) per block
    StartNoPlugins = 0x2, // no plug-in is loaded
};

// Starts the library, once per process and after the QCoreApplication
// exists: the pool on request, the built-in ids, the meta types of the
// library's values, then the plug-ins of "${ORIGIN}/../lib/plugins/liblumo"
// unless told not to. Later calls do nothing. Call it before any block is
// allocated when asking for the pool.
LUMO_EXPORT void init(int flags);

// "gcc-<compiler> <user> svn <revision> <branch> <date> <time>", fixed at build.
LUMO_EXPORT QString buildSignature();
LUMO_EXPORT bool isBuiltInDebug();

// The library-wide pool, null until start-up creates one. Without it the
// front hands out page-aligned (4096) system memory. A block is freed in
// the state (pool or none) it was allocated in.
LUMO_EXPORT LumoMemoryPool* pool();
LUMO_EXPORT void* poolAllocate(unsigned int size);
LUMO_EXPORT void poolFree(void* block);
// Grows the pool to hold a block of this size; nothing without a pool.
LUMO_EXPORT void poolReserve(unsigned int size);

// Both apply to the calling thread. The kernel keeps 15 bytes of the name.
LUMO_EXPORT void setCurrentThreadName(QString const& name);
// SCHED_FIFO when realtime, else SCHED_OTHER; the priority is clamped to
// the policy's range, and a negative one means the highest. Logged.
LUMO_EXPORT void setCurrentThreadPriority(bool realtime, int priority);

// One 32-bit word of physical memory through /dev/mem; the low two bits of
// the address are ignored. False (with a message on standard error) when
// the device cannot be opened or mapped.
LUMO_EXPORT bool readMem32(unsigned int address, unsigned int* value);
LUMO_EXPORT bool writeMem32(unsigned int address, unsigned int value);

// "MemTotal:" of /proc/meminfo in bytes; 0 when it cannot be read.
LUMO_EXPORT quint64 totalSystemMemorySize();
// Adjustment on the scale -17 to 15, written to the process's
// oom_score_adj (scaled to -1000..1000) or, on older kernels, oom_adj.
// False when the file cannot be opened or the kernel refuses the value.
LUMO_EXPORT bool setOOMAdjust(int adjustment);

// Engine factory registries. Factories are consulted in installation
// order; the installer owns a factory and removes it before deleting it.
// Install appends without a check; remove takes out every occurrence.
LUMO_EXPORT void installVideoDeviceFactory(LumoVideoDeviceFactory* factory);
LUMO_EXPORT void removeVideoDeviceFactory(LumoVideoDeviceFactory* factory);
LUMO_EXPORT void installStreamFactory(LumoStreamFactory* factory);
LUMO_EXPORT void removeStreamFactory(LumoStreamFactory* factory);

} // namespace Lumo

// The first factory that accepts the name makes the engine (or null);
// the caller owns it.
LUMO_EXPORT LumoVideoDeviceEngine* lumoVideoDeviceEngineCreate(QString const& name);
// The first factory that accepts the type makes the engine, without a
// parent (or null); the caller owns it.
LUMO_EXPORT LumoStreamEngine* lumoStreamEngineCreate(LumoId const& type);
// A play list gives a play-list engine; otherwise the first factory whose
// hint for the description is not Invalid makes the engine for its hint.
LUMO_EXPORT LumoStreamEngine* lumoStreamEngineCreateForDesc(QVariant const& desc, QObject* parent);

#endif
