// Holds a process-private semaphore of count 1 used as a mutex for the
// life of the scope.
#ifndef LUMO_LUMOSEMLOCK_P_H
#define LUMO_LUMOSEMLOCK_P_H

#include <semaphore.h>

#include <cerrno>

class LumoSemLock {
public:
    explicit LumoSemLock(sem_t* sem) : _sem(sem)
    {
        while (sem_wait(_sem) != 0 && errno == EINTR) {
        }
    }
    ~LumoSemLock() { sem_post(_sem); }

    LumoSemLock(LumoSemLock const&) = delete;
    LumoSemLock& operator=(LumoSemLock const&) = delete;

private:
    sem_t* _sem;
};

#endif
