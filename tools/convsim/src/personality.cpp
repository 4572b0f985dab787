#include "convsim/personality.h"

#include <cstdio>
#include <utility>

namespace convsim {

namespace {

const char* const kTypeNames[] = {
    "Unknown", "ARVEL",   "BRINDO", "CADMER", "GRAVO",  "HESTRA",  "DOVRIN",
    "ESTROW",  "FALCRIN", "GESMOR", "HARVIK", "ILMARO", "JASTEL",  "KELVRO",
    "MARDEX",  "LOMRIK",  "NOLVAR", "ORSIK",  "PENDRO", "QUASTEL", "RIMBOL",
    "SARVEK",  "TOLVIN",  "UDRASK", "VENNOR", "WEXLAR", "YORVATH", "ZELMOR",
    "AMBREL",  "BEXTON",  "CORVANE", "DELMOK", "ESKVAR", "FORNEL",
};
constexpr int kTypeCount = int(sizeof(kTypeNames) / sizeof(kTypeNames[0]));
constexpr int kMardex = 14;

// Input timing the scalers are told to use and measure: 1920 x 1080 active
// of 2200 x 1125 total, start (192, 41), 450450 clocks of 27 MHz a frame.
const uint8_t kTiming[13] = {
    0xC0,       // h start low
    0x07,       // h start bits 11..8 (high nibble), width bits 11..8 (low)
    0x80,       // width low
    0x98,       // h total low
    0x80,       // h total bits 11..8 (high nibble), v start bits 11..8 (low)
    0x29,       // v start low
    0x38,       // height low
    0x44,       // height bits 11..8 (high nibble), v total bits 11..8 (low)
    0x65,       // v total low
    0x00,       // misc signal
    0x92, 0xDF, 0x06, // frame period, least significant first
};

void Put12(std::vector<uint8_t>& img, int lowReg, int nibbleReg, bool highNibble, unsigned v)
{
    img[size_t(lowReg - kScalerBlockStart)] = uint8_t(v & 0xFF);
    uint8_t& n = img[size_t(nibbleReg - kScalerBlockStart)];
    n = uint8_t(highNibble ? (n & 0x0F) | ((v >> 8 & 0x0F) << 4) : (n & 0xF0) | (v >> 8 & 0x0F));
}

} // namespace

std::string ModuleTypeName(int type)
{
    if (type < 0 || type >= kTypeCount)
        return std::string();
    return kTypeNames[type];
}

bool IsScalerType(int type)
{
    return type == 5 || type == kMardex || type == 18 || type == 19;
}

std::vector<uint8_t> DefaultScalerImage(int type)
{
    std::vector<uint8_t> img(kScalerBlockBytes, 0);
    auto reg = [&img](int r) -> uint8_t& { return img[size_t(r - kScalerBlockStart)]; };
    Put12(img, 3, 4, true, 720);   // input active pixels
    Put12(img, 5, 4, false, 486);  // input active lines
    Put12(img, 6, 7, true, 600);   // input h start
    Put12(img, 8, 7, false, 357);  // input v start
    Put12(img, 9, 10, true, 1600); // output active pixels
    Put12(img, 11, 10, false, 1080);
    Put12(img, 12, 13, true, 160);
    Put12(img, 14, 13, false, 0);
    reg(15) = 0x57; // ROI control
    reg(16) = 0x04; // output video control
    reg(17) = 128;  // background Cr
    reg(18) = 16;   // background Y
    reg(19) = 128;  // background Cb
    reg(20) = type == kMardex ? 4 : 0; // genlock control
    for (int i = 0; i < 13; ++i)
        reg(26 + i) = kTiming[i];
    if (type == kMardex)
        reg(41) = 0x10; // EDID flow-through
    return img;
}

namespace {

// The configuration block 0 of FPGA 0 of the models that have one, as a
// freshly set-up converter holds it: start register, length, and the bytes
// that are not 0.
struct BlockDefault {
    int type;
    uint16_t start;
    size_t length;
    std::vector<std::pair<size_t, uint8_t>> bytes;
};

const std::vector<BlockDefault>& BlockDefaults()
{
    static const std::vector<BlockDefault> blocks = {
        {1, 0, 4, {}},                                           // ARVEL
        {2, 0, 4, {}},                                           // BRINDO
        {3, 0, 3, {}},                                           // CADMER
        {4, 0, 5, {{0, 0x03}, {2, 0x11}, {3, 0xA3}}},            // GRAVO
        {6, 3, 42,                                               // DOVRIN: HDR metadata
         {{16, 0xC2}, {17, 0x33}, {18, 0xC4}, {19, 0x86}, {20, 0x4C}, {21, 0x1D}, {22, 0xB8}, {23, 0x0B},
          {24, 0xD0}, {25, 0x84}, {26, 0x80}, {27, 0x3E}, {28, 0x13}, {29, 0x3D}, {30, 0x42}, {31, 0x40},
          {32, 0xE8}, {33, 0x03}, {34, 0x05}, {36, 0xE8}, {37, 0x03}, {38, 0x90}, {39, 0x01}}},
        {7, 3, 15, {{4, 0x40}}},                                  // ESTROW
        {8, 0, 4, {{3, 0x14}}},                                   // FALCRIN
        {9, 0, 15, {{9, 0x04}}},                                  // GESMOR
        {10, 3, 13, {}},                                          // HARVIK
        {11, 3, 32, {{7, 0x80}, {27, 0xE4}, {28, 0xE4}}},         // ILMARO
        {12, 3, 32, {{1, 0x02}, {4, 0x20}, {7, 0x80}, {10, 0xE4}, {11, 0xE4}}}, // JASTEL
        {13, 3, 13, {{4, 0x03}, {5, 0x01}}},                      // KELVRO
        {15, 3, 13, {{4, 0x0F}, {5, 0x01}, {6, 0xFF}}},           // LOMRIK
        {16, 3, 15, {}},                                          // NOLVAR
    };
    return blocks;
}

} // namespace

bool DefaultConfigBlock(int type, uint16_t& start, std::vector<uint8_t>& memory)
{
    if (IsScalerType(type)) {
        start = kScalerBlockStart;
        memory = DefaultScalerImage(type);
        return true;
    }
    for (const BlockDefault& block : BlockDefaults()) {
        if (block.type != type)
            continue;
        start = block.start;
        memory.assign(block.length, 0);
        for (const auto& b : block.bytes)
            memory[b.first] = b.second;
        return true;
    }
    return false;
}

Personality Personality::ForType(int type)
{
    Personality p;
    p.moduleType = uint8_t(type);
    char serial[16];
    std::snprintf(serial, sizeof serial, "SIM%02d001", type & 0xFF);
    p.serialId = serial;
    if (type >= 1 && type < kTypeCount)
        p.moduleName = kTypeNames[type];

    FpgaLayout fpga;
    fpga.id = 0;
    fpga.interfaceId = 1;
    fpga.deviceId = 0;
    p.statusImage[0] = uint8_t(type);
    for (size_t r = 0; r < 3; ++r)
        p.readOnlyBits[r] = 0xFF; // module type and FPGA version
    BlockLayout block;
    block.id = 0;
    if (DefaultConfigBlock(type, block.start, block.memory))
        fpga.blocks.push_back(block);
    if (IsScalerType(type)) {
        for (size_t i = 0; i < block.memory.size(); ++i)
            p.statusImage[kScalerBlockStart + i] = block.memory[i];
        p.statusImage[20] |= 0x40; // input format matches
        p.statusImage[43] = 0x80;  // video input present
        for (int i = 0; i < 13; ++i)
            p.statusImage[size_t(44 + i)] = kTiming[i];
        p.statusImage[53] = 0x10; // locked to the video input
        // What the scaler measures and reports is its own: the input format
        // bit (and MARDEX's genlock state) of register 20, the reference and
        // input presence of 42 and 43, and the status registers 44 to 59.
        p.readOnlyBits[20] = type == kMardex ? 0x46 : 0x40;
        for (size_t r = 42; r <= 59; ++r)
            p.readOnlyBits[r] = 0xFF;
    }
    p.fpgas.push_back(fpga);
    SetUpLutConverter(p);
    p.statusImage[1] = p.fpgaVersion.major;
    p.statusImage[2] = p.fpgaVersion.minor;
    return p;
}

} // namespace convsim
