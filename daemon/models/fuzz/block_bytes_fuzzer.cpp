// Feeds arbitrary converter bytes to a model's block: the first byte picks
// the module type, the rest is the configuration image (cut or padded to
// the block's length) and, whole, the status bytes. Checks that what a
// block writes after reading an image reads back to itself, and that status
// decoding refuses bytes too short for it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "blocksupport/statusdecodingblock.h"
#include "registry.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<UByte> Packed(const RegisterBlock& block)
{
    std::vector<UByte> image(block.Layout().imageLength);
    block.Pack(image.data());
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const ModelRow* row = ModelRegistry::Find(data[0] % 34);
    if (!row || !row->makeBlock)
        return 0;
    std::unique_ptr<CConfigBlockIF> made(row->makeBlock(nullptr, 0, 0));
    auto* block = dynamic_cast<RegisterBlock*>(made.get());
    Check(block != nullptr);

    const std::uint8_t* rest = data + 1;
    const size_t restSize = size - 1;
    std::vector<UByte> image(block->Layout().imageLength, 0);
    for (size_t i = 0; i < image.size() && i < restSize; ++i)
        image[i] = rest[i];
    block->Unpack(image.data());
    const std::vector<UByte> written = Packed(*block);
    block->Unpack(written.data());
    Check(Packed(*block) == written);
    for (size_t r = 0; r < written.size(); ++r)
        Check(block->PackRegister(int(block->Layout().firstRegister + r)) == written[r]);

    if (auto* status = dynamic_cast<StatusDecodingBlock*>(block)) {
        // An exact-size copy, so that a read past it is caught.
        std::unique_ptr<UByte[]> bytes(new UByte[restSize + 1]);
        for (size_t i = 0; i < restSize; ++i)
            bytes[i] = rest[i];
        const bool decoded = status->DecodeStatus(restSize ? bytes.get() : nullptr, restSize);
        Check(decoded == (restSize > 0 && restSize >= status->StatusLength()));
    }
    return 0;
}
