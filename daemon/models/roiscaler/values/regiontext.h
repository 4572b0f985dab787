// The region-of-interest text: one region as a one-line JSON object of
// seven string members, {"mode":"0","x":"440",...,"screenh":"1200"}.
// Written from plain templates, read with JsonCpp.
#ifndef PORTVANE_ROISCALER_VALUES_REGIONTEXT_H
#define PORTVANE_ROISCALER_VALUES_REGIONTEXT_H

#include <array>

#include <QHash>
#include <QString>
#include <QVariant>

#include "tovikconfig/paramtypes.h"

namespace roiscaler {

// The seven member values in text order: mode, x, y, w, h, screenw, screenh.
typedef std::array<quint32, 7> ScreenProxyValues;

// The text of seven values, as plain decimal digits.
QString ScreenProxyText(const ScreenProxyValues& values);

// The text of one region from a wrapper's state: the values stored under
// idBase | 0x04 to 0x0A (roitype 0, the input region) or idBase | 0x0C to
// 0x12 (any other roitype, the output region). A missing entry, or one that
// does not convert with QVariant::toUInt, is written as "0". The state is
// not changed.
QString ScreenProxyText(const QHash<quint32, QVariant>& state, quint32 idBase, int roitype);

// A member is read when it holds a string, a number or a boolean; null, an
// array or an object count as missing. A string of unsigned decimal digits
// or a number with a whole value in the unsigned 32-bit range gives that
// value; any other string, number or boolean gives 0.

// Reads all seven members. True only when the text is a JSON object from
// which all seven read: then mode takes the low 8 bits of its value and the
// six others the low 16 bits. On false nothing is written.
bool ParseScreenProxy(const QString& screenProxy, UByte& mode, UWord& x, UWord& y, UWord& w,
                      UWord& h, UWord& screenw, UWord& screenh);

// Reads the one member named key into value (its unsigned 32-bit value,
// bit for bit). True only when the text is a JSON object from which the
// member reads; on false value is not written.
bool ParseScreenProxy(const QString& screenProxy, const QString& key, int& value);

} // namespace roiscaler

#endif
