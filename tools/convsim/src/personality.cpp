#include "convsim/personality.h"

#include <cstdio>

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
    if (IsScalerType(type)) {
        BlockLayout block;
        block.id = 0;
        block.start = kScalerBlockStart;
        block.memory = DefaultScalerImage(type);
        for (size_t i = 0; i < block.memory.size(); ++i)
            p.statusImage[kScalerBlockStart + i] = block.memory[i];
        fpga.blocks.push_back(block);
        p.statusImage[20] |= 0x40; // input format matches
        p.statusImage[43] = 0x80;  // video input present
        for (int i = 0; i < 13; ++i)
            p.statusImage[size_t(44 + i)] = kTiming[i];
        p.statusImage[53] = 0x10; // locked to the video input
    }
    p.fpgas.push_back(fpga);
    p.statusImage[1] = p.fpgaVersion.major;
    p.statusImage[2] = p.fpgaVersion.minor;
    return p;
}

} // namespace convsim
