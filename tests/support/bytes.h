// Byte strings in tests: frames, answers, memory images.
#ifndef TOVIK_TEST_BYTES_H
#define TOVIK_TEST_BYTES_H

#include <cstdint>
#include <string>
#include <vector>

namespace tovik {
namespace test {

using Bytes = std::vector<std::uint8_t>;

// "C0 00 05 00 01" -> bytes; spaces optional.
Bytes FromHex(const std::string& hex);
// Bytes -> "C0 00 05".
std::string Hex(const Bytes& bytes);
Bytes Concat(Bytes a, const Bytes& b);

} // namespace test
} // namespace tovik

#endif
