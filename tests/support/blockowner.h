// The engine a configuration block was made for, which the block keeps but
// tells no one: read through the member pointer a derived class may form.
#ifndef TOVIK_TEST_BLOCKOWNER_H
#define TOVIK_TEST_BLOCKOWNER_H

#include "blocks/cconfigblockif.h"

namespace tovik {
namespace test {

class BlockOwner : CConfigBlockIF {
public:
    static CCmdEngine* Of(const CConfigBlockIF& block) { return block.*(&BlockOwner::_cmdEngine); }
};

} // namespace test
} // namespace tovik

#endif
