// Internals of the library-wide functions: the pool pointer that start-up
// sets, and the seams through which tests reach the privileged paths.
#ifndef LUMO_LUMO_P_H
#define LUMO_LUMO_P_H

#include <pthread.h>
#include <sched.h>

#include <QByteArray>
#include <QString>

#include "lumo/lumoglobal.h"

class LumoMemoryPool;

namespace Lumo {

// Set once by start-up; tests set and clear it.
LUMO_AUTOTEST_EXPORT void setPool(LumoMemoryPool* pool);

// The memory device ("/dev/mem" unless a test points elsewhere).
LUMO_AUTOTEST_EXPORT void setMemoryDevicePath(QByteArray const& path);
// The process file system root ("/proc"): meminfo and the per-process
// out-of-memory files are found below it.
LUMO_AUTOTEST_EXPORT void setProcRoot(QString const& root);
QString procRoot();

// What applies a thread's policy and priority (pthread_setschedparam
// unless a test replaces it; null restores it).
typedef int (*SchedParamSetter)(pthread_t thread, int policy, sched_param const* param);
LUMO_AUTOTEST_EXPORT void setSchedParamSetter(SchedParamSetter setter);

// The C library's text for an error number, safe on any thread.
QByteArray errorText(int errnum);

} // namespace Lumo

#endif
