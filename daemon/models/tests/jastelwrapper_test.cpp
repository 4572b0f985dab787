// The Jastel wrapper on a simulated LUT converter: what it publishes, the
// names of the stored tables, and parameter changes into the block.
#include <gtest/gtest.h>

#include <algorithm>

#include "jasteltesting.h"
#include "messagelog.h"
#include "paramlink/descriptortable.h"
#include "registry.h"
#include "signalcount.h"
#include "tovikconfig/paramdescriptor.h"

namespace {

using tovik::test::SignalCount;

using namespace jasteltesting;

const quint32 kSlotParam[] = {0x010B001B, 0x010B0017, 0x010B001C, 0x010B0018};

// Register reads inside the LUT flash.
std::vector<RegisterCommand> FlashReads(const std::vector<RegisterCommand>& commands)
{
    std::vector<RegisterCommand> reads;
    for (const RegisterCommand& c : commands)
        if (!c.write && c.address >= 0x60000 && c.address < 0x80000)
            reads.push_back(c);
    return reads;
}

TEST_F(JastelTest, StartsAndPublishesEverySetting)
{
    // The converter's block: SDI 1+2, RGB 444, HDMI DVI at 12 bit, audio from
    // SDI source 1 channel pair 9-16, delay 200, both LUTs on slot B.
    Plug([](convsim::Personality& p) {
        std::vector<uint8_t>& memory = p.fpgas.at(0).blocks.at(0).memory;
        memory[0] = 0x88; // format 0, colour 2, bit depth 0, RGB range 1
        memory[1] = 0x03; // video source 1, LUT input range 1
        memory[3] = 0xB6; // mode 2, 2K crop, bit depth 3, RGB range 1
        memory[4] = 0x3A; // 3G level 2, PsF mode 1, RGB range 1, LUT output range 1
        memory[5] = 0xC0; // 3D LUT on, slot B
        memory[6] = 0xC0; // 1D LUT on, slot B
        memory[7] = 0x9D; // channel source 1, analog pair 3, SDI source 1, 2 channels
        memory[8] = 200;
    });
    EXPECT_TRUE(_w->IsLinkUp());
    EXPECT_TRUE(Timer()->isActive());
    EXPECT_EQ(Timer()->interval(), 1000);
    EXPECT_EQ(Inside::Block(_w)->FPGAID(), 0);
    EXPECT_EQ(Inside::Block(_w)->BlockID(), 0);
    EXPECT_EQ(ModelRegistry::Find(kJastelType)->makeWrapper, nullptr) << "the factory builds none";

    const std::vector<std::pair<quint32, QVariant>> expected = {
        {0x010B0001, Text("1.0")}, {0x010B0002, Text("1.2")}, {0x010B0003, Text("SIM12001")},
        {0x010B0004, Code(1)},     {0x010B0005, Code(2)},     {0x010B0006, Code(1)},
        {0x010B0007, Code(0)},     {0x010B0008, Code(0)},     {0x010B0009, Code(1)},
        {0x010B000A, Code(3)},     {0x010B000B, Code(1)},     {0x010B000C, Code(2)},
        {0x010B000D, Code(1)},     {0x010B000E, Code(1)},     {0x010B000F, Code(0)},
        {0x010B0010, Code(2)},     {0x010B0011, Code(3)},     {0x010B0012, Code(2)},
        {0x010B0013, Code(3)},     {0x010B0014, Code(200)},   {0x010B0015, Code(1)},
        {0x010B0016, Code(1)},     {0x010B0017, Text("Slot Empty")}, {0x010B0018, Text("Slot Empty")},
        {0x010B0019, Code(1)},     {0x010B001A, Code(1)},     {0x010B001B, Text("Slot Empty")},
        {0x010B001C, Text("Slot Empty")},
    };
    for (const auto& e : expected) {
        ASSERT_TRUE(State().contains(e.first)) << std::hex << e.first;
        EXPECT_EQ(State().value(e.first), e.second) << std::hex << e.first;
        EXPECT_EQ(State().value(e.first).type(), e.second.type()) << std::hex << e.first;
    }

    // The four headers are read in the order 1D A, 1D B, 3D A, 3D B; an
    // erased sector (type byte 0xFF) costs one read.
    const std::vector<RegisterCommand> reads = FlashReads(RegistersSince(_built));
    ASSERT_EQ(reads.size(), 4u);
    const uint32_t order[] = {0x68000, 0x78000, 0x60000, 0x70000};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(reads[i].address, order[i]);
        EXPECT_EQ(reads[i].count, 1u);
    }

    // Later updates leave the names alone.
    const size_t mark = Mark();
    _w->UpdateDevice();
    EXPECT_TRUE(FlashReads(RegistersSince(mark)).empty());
    EXPECT_EQ(State().value(0x010B001C), Text("Slot Empty"));
}

TEST_F(JastelTest, FillsTheJastelTable)
{
    Plug();
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(4);
    table->clear();
    _w->InitDeviceDescriptors(4);
    EXPECT_EQ(table->size(), 60u) << "the connection status and 59 of the model";
    ParamDescriptor* d = table->GetDescriptor(tovikconfig::ParamID(0x010B003D));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetParamIDName(), "eParamID_HdmiOutVideoStatus");
}

TEST_F(JastelTest, SlotNames)
{
    struct Case {
        const char* name;
        convsim::Bytes header;     // the start of sector 2; 0xFF after it
        const char* published;
        std::vector<std::pair<uint32_t, unsigned>> reads; // offset in the sector, count
    };
    auto header = [](std::initializer_list<uint8_t> bytes) { return convsim::Bytes(bytes); };
    std::string name33, name64;
    for (int i = 0; i < 33; ++i)
        name33 += char('a' + i % 26);
    for (int i = 0; i < 64; ++i)
        name64 += char('A' + i % 26);
    convsim::Bytes header33 = {0x04, 33}, header64 = {0x07, 64};
    header33.insert(header33.end(), name33.begin(), name33.end());
    header64.insert(header64.end(), name64.begin(), name64.end());
    const std::string name33Published = name33 + ".lut";
    const std::string name64Published = name64 + ".txt";

    const std::vector<Case> cases = {
        {"kind 0, length 0", header({0x00, 0}), ".cube", {{0, 1}, {1, 1}}},
        {"kind 1, length 5", header({0x02, 5, 'g', 'r', 'a', 'd', 'e'}), "grade.3dl", {{0, 1}, {1, 1}, {2, 5}}},
        {"kind 2, length 33", header33, name33Published.c_str(), {{0, 1}, {1, 1}, {2, 32}, {34, 1}}},
        {"kind 3, length 64", header64, name64Published.c_str(), {{0, 1}, {1, 1}, {2, 32}, {34, 32}}},
        {"a zero byte ends the name", header({0x01, 5, 'f', 'i', 0, 'l', 'm'}), "fi.cube", {{0, 1}, {1, 1}, {2, 5}}},
        {"bit 0 and bits 4-7 do not count", header({0xF1, 2, 'a', 'b'}), "ab.cube", {{0, 1}, {1, 1}, {2, 2}}},
        {"kind 4: no table", header({0x08, 3, 'x', 'y', 'z'}), "Slot Empty", {{0, 1}}},
        {"kind 7: erased", header({0xFF}), "Slot Empty", {{0, 1}}},
        {"kind 5", header({0x0A, 0}), "Slot Empty", {{0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Plug([&c](convsim::Personality& p) {
            std::copy(c.header.begin(), c.header.end(), p.lutFlash.sectors[2].begin());
        });
        EXPECT_EQ(State().value(0x010B001C), Text(c.published));
        std::vector<RegisterCommand> reads;
        for (const RegisterCommand& r : FlashReads(RegistersSince(_built)))
            if (r.address >= 0x70000 && r.address < 0x78000)
                reads.push_back(r);
        ASSERT_EQ(reads.size(), c.reads.size());
        for (size_t i = 0; i < reads.size(); ++i) {
            EXPECT_EQ(reads[i].address, 0x70000 + c.reads[i].first) << i;
            EXPECT_EQ(reads[i].count, c.reads[i].second) << i;
        }
        for (int sector : {0, 1, 3})
            EXPECT_EQ(State().value(kSlotParam[sector]), Text("Slot Empty"));
    }
}

TEST_F(JastelTest, FailedSlotNameReadsPublishSlotEmpty)
{
    const struct {
        const char* name;
        uint32_t address; // the read that fails
    } cases[] = {{"header", 0x70000}, {"length", 0x70001}, {"name", 0x70002}, {"second part of the name", 0x70022}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Start([](convsim::Personality& p) {
            p.lutFlash.sectors[2] = convsim::LutSectorImage(0x00, std::string(40, 'n'));
            p.lutFlash.sectors[0] = convsim::LutSectorImage(0x02, "other");
        });
        Refuse(kReadCode, c.address);
        Build();
        EXPECT_EQ(State().value(0x010B001C), Text("Slot Empty"));
        EXPECT_EQ(State().value(0x010B001B), Text("other.3dl"));
        EXPECT_TRUE(_w->IsLinkUp());

        // Names are read once: the next configuration read keeps it.
        const size_t mark = Mark();
        _w->UpdateDevice();
        EXPECT_TRUE(FlashReads(RegistersSince(mark)).empty());
        EXPECT_EQ(State().value(0x010B001C), Text("Slot Empty"));
        // Read on demand it is there.
        EXPECT_EQ(_w->GetLutSlotName(2), QString(40, 'n') + ".cube");
    }
}

TEST_F(JastelTest, UpdateWaitsForLinkConnectionAndIdleness)
{
    Plug();
    Block().SetField(JastelField::_videoSource, 1);
    ExpectUpdateGuarded(_w, Sim(), [this] {
        _w->UpdateDevice();
        _w->UpdateDeviceStatus();
    });
    _w->UpdateDevice();
    EXPECT_EQ(State().value(0x010B0004), Code(1));
}

TEST_F(JastelTest, AudioSourceCodeFromTheBlock)
{
    Plug();
    const struct {
        int sdiSource, channelSource;
        uint code;
    } cases[] = {{0, 0, 0}, {0, 1, 1}, {1, 0, 2}, {1, 1, 3}, {2, 5, 5}, {3, 0, 6}, {9, 0, 6}, {-1, 1, 7}};
    for (const auto& c : cases) {
        Block().SetField(JastelField::_inputAudioSDISource, c.sdiSource);
        Block().SetField(JastelField::_inputAudioChannelSource, c.channelSource);
        _w->UpdateDevice();
        EXPECT_EQ(State().value(0x010B0011), Code(c.code)) << c.sdiSource << "/" << c.channelSource;
    }
}

// Each setting: the converter's block byte and bits it lands in, and the
// value published after the wrapper read the block back.
TEST_F(JastelTest, SettingsIntoTheBlock)
{
    Plug();
    struct Case {
        quint32 id;
        QVariant value;
        int byte, shift, width;
        uint published;
    };
    const std::vector<Case> cases = {
        {0x010B0004, Code(1), 1, 0, 1, 1},  {0x010B0005, Code(3), 0, 2, 3, 3},
        {0x010B0006, Code(1), 0, 7, 1, 1},  {0x010B0007, Code(2), 0, 5, 2, 2},
        {0x010B0008, Code(3), 0, 0, 2, 3},  {0x010B0009, Code(1), 3, 7, 1, 1},
        {0x010B000A, Code(3), 3, 4, 2, 3},  {0x010B000B, Code(1), 3, 2, 1, 1},
        {0x010B000C, Code(2), 3, 0, 2, 2},  {0x010B000D, Code(1), 4, 4, 1, 1},
        {0x010B000E, Code(1), 4, 3, 1, 1},  {0x010B000F, Code(1), 4, 2, 1, 1},
        {0x010B0010, Code(2), 4, 0, 2, 2},  {0x010B0012, Code(1), 7, 6, 2, 1},
        {0x010B0013, Code(3), 7, 2, 2, 3},  {0x010B0015, Code(1), 6, 7, 1, 1},
        {0x010B0016, Code(1), 6, 6, 1, 1},  {0x010B0019, Code(1), 5, 7, 1, 1},
        {0x010B001A, Code(1), 5, 6, 1, 1},
        // The offset keeps the low 8 bits of the value taken as signed.
        {0x010B0014, Code(300), 8, 0, 8, 44}, {0x010B0014, QVariant(-1), 8, 0, 8, 255},
        {0x010B0014, Code(0xFFFFFF80u), 8, 0, 8, 128}, {0x010B0014, Code(12), 8, 0, 8, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.id << " := " << c.value.toString().toStdString());
        const size_t mark = Mark();
        _w->SetParam(c.id, c.value, LumoTimeStamp());
        // One block write: the registers from 3, then the configuration
        // memory; then the read-back.
        const std::vector<int> codes = CodesSince(Sim(), mark);
        ASSERT_GE(codes.size(), 3u);
        EXPECT_EQ(codes[0], 0x9D);
        EXPECT_EQ(codes[1], 0x8B);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x8B), 1);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x8C), 1);
        const convsim::Bytes memory = Sim().ConfigMemory(0, 0);
        ASSERT_EQ(memory.size(), 32u);
        const unsigned mask = (1u << c.width) - 1;
        EXPECT_EQ(memory[size_t(c.byte)] >> c.shift & mask, c.published);
        EXPECT_EQ(Sim().ReadRegisters(1, 0, 3 + uint32_t(c.byte), 1).at(0), memory[size_t(c.byte)]);
        EXPECT_EQ(State().value(c.id), Code(c.published));
    }
}

TEST_F(JastelTest, AudioSourceWritesTheBlockTwice)
{
    // SDI source 2, channel source 0 on the converter.
    Plug([](convsim::Personality& p) { p.fpgas.at(0).blocks.at(0).memory[7] = 0xA0; });
    EXPECT_EQ(State().value(0x010B0011), Code(4));
    const size_t mark = Mark();
    _w->SetParam(0x010B0011, Code(1), LumoTimeStamp());
    std::vector<convsim::Bytes> writes;
    for (const RegisterCommand& c : RegistersSince(mark))
        if (c.write && c.address == 3)
            writes.push_back(c.data);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].at(7), 0x80) << "SDI source 0 first, channel source as it was";
    EXPECT_EQ(writes[1].at(7), 0x81) << "then channel source 1";
    const std::vector<int> codes = CodesSince(Sim(), mark);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x8B), 2);
    EXPECT_EQ(Sim().ConfigMemory(0, 0).at(7), 0x81);
    EXPECT_EQ(State().value(0x010B0011), Code(1));
}

TEST_F(JastelTest, OtherIdsAreRefusedAndLogged)
{
    Plug();
    const quint32 ids[] = {0x010B0001, 0x010B0002, 0x010B0003, 0x010B001D, 0x010B003D, 0x010B0000, 0x010C0004, 0};
    for (quint32 id : ids) {
        SCOPED_TRACE(id);
        const convsim::Bytes memory = Sim().ConfigMemory(0, 0);
        const size_t mark = Mark();
        tovik::test::MessageLog messages;
        _w->SetParam(id, Code(1), LumoTimeStamp());
        EXPECT_EQ(messages.Lines(), QStringList({QString("Not a valid param -  %1 ").arg(id)}));
        const std::vector<int> codes = CodesSince(Sim(), mark);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x8B), 0);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x9D), 0);
        // The configuration is read back all the same.
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x8C), 1);
        EXPECT_EQ(Sim().ConfigMemory(0, 0), memory);
    }
}

TEST_F(JastelTest, DisconnectStopsTheDevice)
{
    Plug();
    SignalCount<> lost(_w, &DeviceWrapper::CommError);
    _w->DisconnectDevice();
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(Timer()->isActive());
}

TEST(JastelWrapperOffline, WithoutLinkDisconnectsAndReadsNothing)
{
    JastelWrapper w(new CCmdEngine(nullptr, nullptr, nullptr, 0), new AssemblyRecords, new CModuleType, nullptr);
    EXPECT_TRUE(w.HasCommError());
    EXPECT_TRUE(Inside::State(&w).isEmpty());
    EXPECT_EQ(w.GetLutSlotName(0), QString("Slot Empty"));
    EXPECT_EQ(w.GetLutSlotName(4), QString("Slot Empty"));
    EXPECT_EQ(w.GetLutSlotName(-1), QString("Slot Empty"));
    EXPECT_FALSE(w.UploadLUT(QByteArray(32768, 'x'), 0));
    // Parameter changes reach no converter and publish nothing.
    w.SetParam(0x010B0004, Code(1), LumoTimeStamp());
    w.SetParam(0x010B0011, Code(1), LumoTimeStamp());
    w.SetParam(0x010B001B, Text("film.cube"), LumoTimeStamp());
    EXPECT_TRUE(Inside::State(&w).isEmpty());
}

} // namespace
