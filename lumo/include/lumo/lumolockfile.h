// One process at a time holds a named lock file: an exclusive record lock
// on the whole file, with the holder's process id written at its start as
// "%d\n". The lock ends when the holder unlocks or exits.
#ifndef LUMO_LUMOLOCKFILE_H
#define LUMO_LUMOLOCKFILE_H

#include <QString>

#include "lumo/lumoglobal.h"

class LUMO_EXPORT LumoLockFile {
public:
    LumoLockFile();
    explicit LumoLockFile(QString const& filename);
    ~LumoLockFile();

    LumoLockFile(LumoLockFile const&) = delete;
    LumoLockFile& operator=(LumoLockFile const&) = delete;

    // True when held afterwards. False when another process holds the file
    // (or another object of this process does), or it cannot be opened.
    bool lock();
    // Releases the lock; the file and its text stay.
    void unlock();
    void setFilename(QString const& filename);
    // Process id of the process whose lock conflicts with ours; 0 when the
    // file is free, cannot be opened, or this process holds it.
    int whoHasLock() const;

private:
    QString _filename;
    int _fd;
};

#endif
