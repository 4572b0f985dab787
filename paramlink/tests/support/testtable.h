// A small descriptor table of every value kind, shared by the store tests
// and their server process.
#ifndef STORE_TESTTABLE_H
#define STORE_TESTTABLE_H

#include <string>

#include "tovikconfig/paramtypes.h"

class DescriptorTable;

namespace storetest {

const eParam_t kIntId = eParam_t(0x01000100);
const eParam_t kStringId = eParam_t(0x01000101);
const eParam_t kDataId = eParam_t(0x01000102);
const eParam_t kEnumId = eParam_t(0x01000103);
const eParam_t kUnknownId = eParam_t(0x0100ffff);

const int kIntDefault = 7;
// The string keeps the descriptor's MaxLength of 20 (so the store's floor
// applies); the data parameter takes the largest value the wire carries.
const unsigned kDataMaxLength = 1u << 20;
const unsigned kEnumDefault = 1;
const char* const kStringDefault = "abc";

// Config ids of the tests' own stores (the store keeps at most
// GetMaxConfigID() + 1 configs).
const eConfigID_t kServedTestConfig = 5;
const eConfigID_t kLocalTestConfig = 6;

// Clears the table and adds the four test parameters.
void FillTestTable(DescriptorTable* table);
// Fills the config's table and puts every test value back to its default:
// a config's values live as long as the process, so each test starts from
// what a fresh store would hold.
void ResetTestConfig(eConfigID_t configID);

} // namespace storetest

#endif
