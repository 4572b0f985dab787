// How long a string or data value the store keeps for a parameter.
//
// The limit is the descriptor's MaxLength, but never below kLengthFloor:
// string descriptors keep the constructor's MaxLength of 20 unless a table
// sets another, and the system itself keeps longer texts in such
// parameters (the daemon a region's JSON text or a 48-character alarm
// text, the command-line client whatever word it is given), which the
// tables do not forbid. Values past the limit are refused, by every server
// and every local set alike, so one client cannot fill memory with values
// no reader expects.
#ifndef PARAMLINK_VALUELIMIT_H
#define PARAMLINK_VALUELIMIT_H

#include <cstddef>
#include <string>

#include "paramlink/valuekind.h"
#include "tovikconfig/paramtypes.h"

namespace paramlink {

constexpr size_t kLengthFloor = 8192;

// Bytes a value of the parameter may hold (integers: no limit here).
size_t ValueLimit(const DescriptorKindInfo& info);
// Empty when a value of length bytes is kept; else why it is refused.
std::string LengthRefusal(const DescriptorKindInfo& info, size_t length, eParam_t id, eConfigID_t configID);

} // namespace paramlink

#endif
