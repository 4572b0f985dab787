// The handle of liblumo's copy-on-write value types: a thin class over a
// shared record whose fields are reached with ->.
#ifndef LUMO_LUMOSHARED_H
#define LUMO_LUMOSHARED_H

#include <QSharedDataPointer>

// Handle over a copy-on-write record: reading shares, writing through a
// shared handle detaches it first.
template <typename Data>
class LumoSharedValue {
public:
    // Always a record of its own with the defaults.
    LumoSharedValue() : d(new Data) {}

    Data* operator->() { return d.data(); }
    Data const* operator->() const { return d.constData(); }
    Data& operator*() { return *d; }
    Data const& operator*() const { return *d; }
    Data const* constData() const { return d.constData(); }

    bool isSharedWith(LumoSharedValue const& other) const { return d.constData() == other.d.constData(); }
    // Same record, or records equal by their own rule.
    bool operator==(LumoSharedValue const& other) const { return isSharedWith(other) || *d == *other.d; }
    bool operator!=(LumoSharedValue const& other) const { return !(*this == other); }

protected:
    explicit LumoSharedValue(Data* data) : d(data) {}

private:
    QSharedDataPointer<Data> d;
};

#endif
