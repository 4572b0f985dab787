// A scripted stand-in for the libudev calls of the hot-plug monitor, put in
// place at link time. Device calls on real devices go to libudev.
#ifndef PORTVANE_TEST_FAKEUDEV_H
#define PORTVANE_TEST_FAKEUDEV_H

namespace FakeUdev {

enum class Failure { None, Context, Netlink, Filter, Enable, Descriptor };

// Back to plain libudev, no failure, empty queue.
void Reset();
// Makes one set-up step fail.
void Fail(Failure step);
// Serves the monitor from the queue below instead of the kernel.
void Script();
// One pending event; vendor may be null (no ID_VENDOR_ID property).
void QueueEvent(const char* action, const char* vendor);
// One pending event for which the receive gives no device.
void QueueLostEvent();

int Receives();
int Released();
int Outstanding();

}

#endif
