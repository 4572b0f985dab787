// The LUT converter's flash sectors, erase commands, transfer register and
// status registers, through the converter's command handling; faults aimed
// at one register address.
#include "convsim/convertermodel.h"
#include "convsim/fault.h"
#include "convsim/lutflash.h"
#include "convsim/statedump.h"

#include <gtest/gtest.h>

namespace {

using convsim::Bytes;
using convsim::ConverterModel;
using convsim::LutFlash;
using convsim::Personality;

Bytes Address(uint32_t a)
{
    return {uint8_t(a >> 24), uint8_t(a >> 16), uint8_t(a >> 8), uint8_t(a)};
}

Bytes WriteFrame(uint32_t addr, const Bytes& data, uint8_t iface = 1)
{
    Bytes payload = {iface, 0};
    const Bytes a = Address(addr);
    payload.insert(payload.end(), a.begin(), a.end());
    payload.push_back(uint8_t(data.size()));
    payload.insert(payload.end(), data.begin(), data.end());
    return convsim::MakeCommand(convsim::kWriteDeviceDataImmediateCmd, payload);
}

Bytes ReadFrame(uint32_t addr, uint8_t count)
{
    Bytes payload = {1, 0};
    const Bytes a = Address(addr);
    payload.insert(payload.end(), a.begin(), a.end());
    payload.push_back(count);
    return convsim::MakeCommand(convsim::kReadDeviceDataImmediateCmd, payload);
}

struct Jastel {
    explicit Jastel(const std::function<void(Personality&)>& tweak = nullptr)
        : model([&] {
              Personality p = Personality::ForType(12);
              if (tweak)
                  tweak(p);
              return p;
          }())
    {
    }

    // The status byte of the answer.
    uint8_t Write(uint32_t addr, const Bytes& data)
    {
        const Bytes frame = WriteFrame(addr, data);
        return model.Handle(frame.data(), frame.size()).at(3);
    }
    // The data of the answer (after its count byte).
    Bytes Read(uint32_t addr, uint8_t count)
    {
        const Bytes frame = ReadFrame(addr, count);
        const Bytes answer = model.Handle(frame.data(), frame.size());
        EXPECT_EQ(answer.at(3), 0);
        return Bytes(answer.begin() + 5, answer.end());
    }
    uint8_t Transfer() { return Read(LutFlash::kTransferRegister, 1).at(0); }
    const Bytes& Sector(size_t n) { return model.State().lutFlash.sectors[n]; }
    // Writes the whole sector in 128-byte blocks.
    void Program(size_t sector, const Bytes& image)
    {
        for (uint32_t k = 0; k < 256; ++k)
            ASSERT_EQ(Write(LutFlash::SectorBase(sector) + 128 * k,
                            Bytes(image.begin() + 128 * k, image.begin() + 128 * (k + 1))),
                      0);
    }

    ConverterModel model;
};

Bytes Pattern(uint8_t seed)
{
    Bytes image(LutFlash::kSectorBytes);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = uint8_t(seed + i * 7 + (i >> 8));
    return image;
}

TEST(LutFlash, OnlyTheLutConverterHasOne)
{
    for (int type = 1; type <= 33; ++type) {
        SCOPED_TRACE(type);
        const Personality p = Personality::ForType(type);
        EXPECT_EQ(p.lutFlash.present, type == 12);
        if (type != 12)
            continue;
        for (const Bytes& sector : p.lutFlash.sectors)
            EXPECT_EQ(sector, Bytes(LutFlash::kSectorBytes, 0xFF));
        for (size_t r = 16; r < 56; ++r)
            EXPECT_EQ(p.readOnlyBits[r], 0xFF) << r;
        EXPECT_EQ(p.readOnlyBits[56], 0);
    }
    // Elsewhere the addresses are plain registers.
    ConverterModel other(Personality::ForType(11));
    const Bytes write = WriteFrame(0x60000, {0x12});
    EXPECT_EQ(other.Handle(write.data(), write.size()).at(3), 0);
    EXPECT_EQ(other.ReadRegister(1, 0, 0x60000), 0x12);
}

TEST(LutFlash, SectorAddresses)
{
    const uint32_t bases[] = {0x60000, 0x68000, 0x70000, 0x78000};
    const uint32_t erases[] = {0xA0100, 0xA8100, 0xB0100, 0xB8100};
    for (size_t n = 0; n < 4; ++n) {
        EXPECT_EQ(LutFlash::SectorBase(n), bases[n]);
        EXPECT_EQ(LutFlash::EraseAddress(n), erases[n]);
    }
}

TEST(LutFlash, EraseThenProgramThenReadBack)
{
    Jastel j;
    const Bytes image = Pattern(3);
    j.Program(2, image);
    EXPECT_EQ(j.Sector(2), image);
    EXPECT_EQ(j.Read(0x70000, 32), Bytes(image.begin(), image.begin() + 32));
    EXPECT_EQ(j.Read(0x77FF0, 16), Bytes(image.end() - 16, image.end()));
    for (size_t n : {0, 1, 3})
        EXPECT_EQ(j.Sector(n), Bytes(LutFlash::kSectorBytes, 0xFF)) << n;

    // Programming over a written sector only clears bits.
    const Bytes other = Pattern(90);
    j.Program(2, other);
    for (size_t i = 0; i < image.size(); i += 997)
        EXPECT_EQ(j.Sector(2)[i], image[i] & other[i]) << i;

    // Other values at the erase address do nothing; 0x81 erases that sector alone.
    EXPECT_EQ(j.Write(0xB0100, {0x80}), 0);
    EXPECT_NE(j.Sector(2), Bytes(LutFlash::kSectorBytes, 0xFF));
    EXPECT_EQ(j.Write(0xB0100, {0x81}), 0);
    EXPECT_EQ(j.Sector(2), Bytes(LutFlash::kSectorBytes, 0xFF));
    j.Program(2, other);
    EXPECT_EQ(j.Sector(2), other);
}

TEST(LutFlash, WritesThatLeaveTheSectorFail)
{
    Jastel j;
    EXPECT_EQ(j.Write(0x67FF0, Bytes(32, 0)), 1) << "crosses into sector 1";
    EXPECT_EQ(j.Write(0x7FFF0, Bytes(32, 0)), 1) << "crosses the flash's end";
    EXPECT_EQ(j.Sector(0), Bytes(LutFlash::kSectorBytes, 0xFF));
    EXPECT_EQ(j.Sector(3), Bytes(LutFlash::kSectorBytes, 0xFF));
    EXPECT_FALSE(j.model.State().lutFlash.sectors[3].empty());
}

TEST(LutFlash, TransferRegisterAfterTheLastBlock)
{
    struct Case {
        const char* name;
        int readsBeforeReady;
        uint8_t busy, ready;
        std::vector<uint8_t> reads; // what successive reads of 0x25 show
    };
    const Case cases[] = {
        {"one busy read", 1, 0x01, 0x05, {0x01, 0x05, 0x05}},
        {"ready at once", 0, 0x01, 0x07, {0x07, 0x07}},
        {"three busy reads", 3, 0x04, 0xFF, {0x04, 0x04, 0x04, 0xFF}},
        {"never ready", -1, 0x00, 0x05, {0x00, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Jastel j([&c](Personality& p) {
            p.lutFlash.readsBeforeReady = c.readsBeforeReady;
            p.lutFlash.busyValue = c.busy;
            p.lutFlash.readyValue = c.ready;
        });
        EXPECT_EQ(j.Transfer(), 0x00) << "idle before";
        ASSERT_EQ(j.Write(0x78000, Bytes(128, 0)), 0);
        EXPECT_EQ(j.Transfer(), 0x00) << "a block short of the end starts nothing";
        ASSERT_EQ(j.Write(0x7FF80, Bytes(128, 0)), 0);
        for (size_t i = 0; i < c.reads.size(); ++i)
            EXPECT_EQ(j.Transfer(), c.reads[i]) << "read " << i + 1;
        // The box's closing handshake ends the transfer.
        ASSERT_EQ(j.Write(0x25, {0x80}), 0);
        EXPECT_EQ(j.Transfer(), 0x80);
        ASSERT_EQ(j.Write(0x25, {0x00}), 0);
        EXPECT_EQ(j.Transfer(), 0x00);
        EXPECT_FALSE(j.model.State().lutFlash.sectors[3].empty());
    }
}

TEST(LutFlash, StatusReadCountsAsAPollAndShowsTheRegister)
{
    Jastel j;
    ASSERT_EQ(j.Write(0x67F80, Bytes(128, 0)), 0);
    Bytes status = j.Read(16, 40);
    ASSERT_EQ(status.size(), 40u);
    EXPECT_EQ(status[0x25 - 16], 0x01);
    status = j.Read(16, 40);
    EXPECT_EQ(status[0x25 - 16], 0x05);
}

TEST(LutFlash, StatusRegistersAreTheConvertersOwn)
{
    Jastel j;
    // The configuration block's register write (registers 3..34) leaves the
    // status registers 16..34 as the converter set them.
    ASSERT_TRUE(j.model.WriteRegisters(1, 0, 16, Bytes{0x82, 0x0E}.data(), 2));
    EXPECT_EQ(j.Write(3, Bytes(32, 0x00)), 0);
    EXPECT_EQ(j.Read(3, 13), Bytes(13, 0x00));
    EXPECT_EQ(j.Read(16, 2), (Bytes{0x82, 0x0E}));
}

TEST(LutFlash, SlotHeaderImage)
{
    const Bytes image = convsim::LutSectorImage(0x02, "film");
    ASSERT_EQ(image.size(), LutFlash::kSectorBytes);
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 7), (Bytes{0x02, 4, 'f', 'i', 'l', 'm', 0xFF}));
    const Bytes longName = convsim::LutSectorImage(0x00, std::string(300, 'a'));
    EXPECT_EQ(longName[1], uint8_t(300));
}

TEST(LutFlash, DumpLines)
{
    EXPECT_EQ(convsim::FormatLutLine(1, Bytes(LutFlash::kSectorBytes, 0xFF)), "lut 1: empty");
    const std::string line = convsim::FormatLutLine(2, convsim::LutSectorImage(0x00, std::string("fi\x01lm", 5)));
    EXPECT_EQ(line.substr(0, 38), "lut 2: type 00, name \"fi\\x01lm\", check");
    EXPECT_EQ(line.size(), 38 + 12u);

    convsim::Simulator sim(Personality::ForType(12));
    convsim::StateDump dump;
    const std::vector<std::string> first = dump.Changes(sim);
    ASSERT_EQ(first.size(), 6u);
    EXPECT_EQ(first[1], "lut 0: empty");
    EXPECT_EQ(first[4], "lut 3: empty");
    EXPECT_TRUE(dump.Changes(sim).empty());
}

TEST(LutFlash, FaultsAimedAtOneAddress)
{
    convsim::FaultPlan plan;
    convsim::Fault f;
    f.kind = convsim::Fault::Kind::ErrorStatus;
    f.address = 0x70080;
    f.nth = 2;
    plan.Add(f);
    const Bytes hit = WriteFrame(0x70080, Bytes(128, 0));
    const Bytes miss = WriteFrame(0x70000, Bytes(128, 0));
    EXPECT_EQ(convsim::RegisterAddress(hit), 0x70080);
    EXPECT_EQ(convsim::RegisterAddress(ReadFrame(0x25, 1)), 0x25);
    EXPECT_EQ(convsim::RegisterAddress(convsim::MakeCommand(0x80)), -1);
    EXPECT_EQ(convsim::RegisterAddress(Bytes{0x9D, 0x00, 0x05, 0x01}), -1) << "too short";
    EXPECT_TRUE(plan.Match(0x9D, convsim::RegisterAddress(miss)).empty());
    EXPECT_TRUE(plan.Match(0x9D, convsim::RegisterAddress(hit)).empty()) << "first at the address";
    EXPECT_TRUE(plan.Match(0x80).empty());
    EXPECT_EQ(plan.Match(0x9D, convsim::RegisterAddress(hit)).size(), 1u) << "second at the address";
    EXPECT_EQ(plan.Fired(0), 1u);

    convsim::Fault parsed;
    std::string error;
    ASSERT_TRUE(convsim::ParseFault("error,addr=0xb0100,value=1", parsed, &error)) << error;
    EXPECT_EQ(parsed.address, 0xB0100);
    EXPECT_FALSE(convsim::ParseFault("error,addr=-1", parsed, &error));
}

} // namespace
