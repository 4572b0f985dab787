// Helpers of the configuration block tests: images as hex text, a block's
// fields, an INI file, and random converter memory read and written back.
#ifndef PORTVANE_MODELS_TESTS_BLOCKTESTING_H
#define PORTVANE_MODELS_TESTS_BLOCKTESTING_H

#include <cstdio>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "blocksupport/registerblock.h"
#include "convsim/personality.h"
#include "linkrig.h"

namespace blocktesting {

using tovik::test::Converter;
using tovik::test::EngineRig;
using tovik::test::SimLink;

using Image = std::vector<UByte>;

// "D0 21 E6": bytes in hexadecimal, separated by blanks.
inline Image Hex(const std::string& text)
{
    std::istringstream in(text);
    Image image;
    unsigned byte = 0;
    while (in >> std::hex >> byte)
        image.push_back(UByte(byte));
    return image;
}

inline std::string HexText(const Image& image)
{
    std::string text;
    char byte[4];
    for (UByte b : image) {
        std::snprintf(byte, sizeof byte, text.empty() ? "%02X" : " %02X", b);
        text += byte;
    }
    return text;
}

// A zero image of n bytes with the given bytes set: {{offset, value}, ...}.
inline Image ImageWith(std::size_t n, std::initializer_list<std::pair<std::size_t, UByte>> bytes)
{
    Image image(n, 0);
    for (const auto& b : bytes)
        image.at(b.first) = b.second;
    return image;
}

inline Image Packed(const RegisterBlock& block)
{
    Image image(block.Layout().imageLength);
    block.Pack(image.data());
    return image;
}

inline std::vector<int> Values(const RegisterBlock& block)
{
    std::vector<int> values;
    for (std::size_t f = 0; f < block.FieldCount(); ++f)
        values.push_back(block.Field(int(f)));
    return values;
}

// The keys a block's SaveSettings writes.
inline int KeyCount(const RegisterBlock& block)
{
    int keys = 0;
    for (const FieldDef& def : block.Layout().fields)
        keys += def.key ? 1 : 0;
    return keys;
}

// An INI file in a folder of its own.
class IniFile {
public:
    QSettings& Settings() { return _settings; }
    // The file as another program would read it.
    std::unique_ptr<QSettings> Reopened()
    {
        _settings.sync();
        return std::unique_ptr<QSettings>(new QSettings(_path, QSettings::IniFormat));
    }

private:
    QTemporaryDir _dir;
    QString _path = _dir.filePath(QStringLiteral("block.ini"));
    QSettings _settings{_path, QSettings::IniFormat};
};

// Random converter memory, read by the block and written back. The write
// holds no bit outside the bits the model owns (mask); with exact, it holds
// exactly the owned bits of the memory, whatever the others held; without
// (a model that codes values in its bits), reading and writing it once more
// gives it back unchanged. The block's (FPGA 0, block 0) is the converter's.
inline void ExpectWritesBackOwnedBits(CConfigBlockIF& block, SimLink& link, const Image& mask, int rounds,
                                      unsigned seed, bool exact = true)
{
    const std::size_t n = mask.size();
    auto roundTrip = [&](const Image& memory) {
        EXPECT_EQ(link._protocol.WriteConfigData(0, 0, memory.data(), UWord(n)), 0);
        EXPECT_EQ(block.ReadFromDevice(link._protocol), int(n));
        link._protocol.WriteConfigData(0, 0, Image(n, 0).data(), UWord(n));
        EXPECT_EQ(block.WriteToDevice(link._protocol), 0);
        return link._sim.ConfigMemory(0, 0);
    };
    std::mt19937 random(seed);
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Image memory(n, 0xFF);
        if (round > 0)
            for (UByte& b : memory)
                b = UByte(random());
        const Image written = roundTrip(memory);
        Image owned(n), stray(n);
        for (std::size_t i = 0; i < n; ++i) {
            owned[i] = UByte(memory[i] & mask[i]);
            stray[i] = UByte(written[i] & ~mask[i]);
        }
        EXPECT_EQ(HexText(stray), HexText(Image(n, 0))) << HexText(written);
        if (exact)
            EXPECT_EQ(HexText(written), HexText(owned));
        else
            EXPECT_EQ(HexText(roundTrip(written)), HexText(written));
    }
}

// A simulated scaler's registers 3 to 43 after the box wrote image there:
// the scaler keeps its own status bits (register 20 bit 6, Mardex's genlock
// state in bits 2..1, registers 42 and 43).
inline Image LiveRegisters(int type, const Image& image)
{
    const convsim::Personality p = convsim::Personality::ForType(type);
    Image live(image.size());
    for (std::size_t i = 0; i < image.size(); ++i) {
        const UByte own = p.readOnlyBits[3 + i];
        live[i] = UByte((image[i] & ~own) | (p.statusImage[3 + i] & own));
    }
    return live;
}

} // namespace blocktesting

#endif
