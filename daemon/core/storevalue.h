// The value kinds the daemon hands the store, told from a QVariant: the one
// place where a QVariant's type decides how a value is stored.
#ifndef PORTVANE_STOREVALUE_H
#define PORTVANE_STOREVALUE_H

#include <QVariant>

#include "paramlink/valuekind.h"

// Unsigned and bool values are integers, strings strings, byte arrays data;
// false for every other type (signed numbers included), which the daemon
// does not store.
bool StoreKindOf(const QVariant& value, ValueKind& kind);

// The value as the store holds it, so that a change reported by the store
// compares equal to it: integers as uint, strings through Latin-1.
QVariant StoreForm(const QVariant& value, ValueKind kind);

#endif
