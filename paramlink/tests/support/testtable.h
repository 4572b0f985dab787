// The store tests' configs (their table is in testtables.h), shared by the
// store tests and their server process.
#ifndef STORE_TESTTABLE_H
#define STORE_TESTTABLE_H

#include "testtables.h"

namespace storetest {

// Config ids of the tests' own stores (the store keeps at most
// GetMaxConfigID() + 1 configs).
const eConfigID_t kServedTestConfig = 5;
const eConfigID_t kLocalTestConfig = 6;

// Fills the config's table and puts every test value back to its default:
// a config's values live as long as the process, so each test starts from
// what a fresh store would hold.
void ResetTestConfig(eConfigID_t configID);

} // namespace storetest

#endif
