// The thirteen wrappers that publish only a converter's identity, as one
// table, each on a simulated converter of its type.
#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

#include "wrappersupport/debugline.h"
#include "messagelog.h"
#include "paramlink/descriptortable.h"
#include "registry.h"
#include "signalcount.h"
#include "tovikconfig/paramdescriptor.h"
#include "versiononlywrappers.h"
#include "wrappertesting.h"

namespace {

using tovik::test::SignalCount;

using namespace wrappertesting;

struct Member {
    const char* name;
    int moduleType;
    tovikconfig::ViveRode_t model;
    quint32 idBase;
    tovikconfig::ViveRode_t declaredModel; // the class's own constant
    WrapperMaker make;
    const char* log; // the debug line's first item, or null
};

const Member kMembers[] = {
    {"Arvel", 1, 2, 0x01000000, ArvelWrapper::kModelNumber, &Make<ArvelWrapper>, nullptr},
    {"Brindo", 2, 3, 0x01010000, BrindoWrapper::kModelNumber, &Make<BrindoWrapper>, nullptr},
    {"Cadmer", 3, 4, 0x01020000, CadmerWrapper::kModelNumber, &Make<CadmerWrapper>, nullptr},
    {"Gravo", 4, 5, 0x01030000, GravoWrapper::kModelNumber, &Make<GravoWrapper>, "Gravo set param"},
    {"Dovrin", 6, 7, 0x01050000, DovrinWrapper::kModelNumber, &Make<DovrinWrapper>, nullptr},
    {"Estrow", 7, 8, 0x01060000, CEstrowWrapper::kModelNumber, &Make<CEstrowWrapper>, nullptr},
    {"Falcrin", 8, 9, 0x01070000, FalcrinWrapper::kModelNumber, &Make<FalcrinWrapper>, "Falcrin set param"},
    {"Gesmor", 9, 10, 0x01080000, GesmorWrapper::kModelNumber, &Make<GesmorWrapper>, "Gesmor set param"},
    {"Harvik", 10, 11, 0x01090000, HarvikWrapper::kModelNumber, &Make<HarvikWrapper>, nullptr},
    {"Ilmaro", 11, 12, 0x010A0000, IlmaroWrapper::kModelNumber, &Make<IlmaroWrapper>, nullptr},
    {"Kelvro", 13, 14, 0x010C0000, CKelvroWrapper::kModelNumber, &Make<CKelvroWrapper>, nullptr},
    {"Lomrik", 15, 16, 0x010E0000, CLomrikWrapper::kModelNumber, &Make<CLomrikWrapper>, nullptr},
    {"Nolvar", 16, 17, 0x010F0000, NolvarWrapper::kModelNumber, &Make<NolvarWrapper>, nullptr},
};

const int kConfigId = 3;

QString SerialOf(int moduleType)
{
    return QString::asprintf("SIM%02d001", moduleType);
}

class VersionOnlyWrappers : public ::testing::TestWithParam<Member> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(_linked.OpenResult(), 0);
        _w = _linked.Build(GetParam().make);
        ASSERT_NE(_w, nullptr);
    }

    quint32 Id(quint32 n) const { return GetParam().idBase | n; }
    const ConfigDeviceState_t& State() const { return Inside::State(_w); }
    convsim::Simulator& Sim() { return _linked.Sim(); }

    LinkedWrapper _linked{convsim::Personality::ForType(GetParam().moduleType)};
    DeviceWrapper* _w = nullptr;
};

TEST_P(VersionOnlyWrappers, StartsAndPublishesItsIdentity)
{
    const Member& m = GetParam();
    EXPECT_EQ(m.declaredModel, m.model);
    EXPECT_EQ(ModelRegistry::Find(m.moduleType)->modelNumber, m.model);
    // The factory builds none of them.
    EXPECT_EQ(ModelRegistry::Find(m.moduleType)->makeWrapper, nullptr);

    EXPECT_TRUE(Inside::Timer(_w)->isActive());
    EXPECT_EQ(Inside::Timer(_w)->interval(), 1000);
    EXPECT_TRUE(_w->IsLinkUp());
    EXPECT_FALSE(_w->HasCommError());
    // The model's own block class, on FPGA 0, block 0.
    ASSERT_NE(Inside::Block(_w), nullptr);
    const std::unique_ptr<CConfigBlockIF> expected(ModelRegistry::Find(m.moduleType)->makeBlock(nullptr, 0, 0));
    EXPECT_EQ(typeid(*Inside::Block(_w)), typeid(*expected));
    EXPECT_EQ(Inside::Block(_w)->FPGAID(), 0);
    EXPECT_EQ(Inside::Block(_w)->BlockID(), 0);

    // Exactly the three identity texts, nothing from the status poll.
    const ConfigDeviceState_t& state = State();
    EXPECT_EQ(state.size(), 3);
    EXPECT_EQ(state.value(Id(1)), QVariant(QString("1.0")));
    EXPECT_EQ(state.value(Id(2)), QVariant(QString("1.2")));
    EXPECT_EQ(state.value(Id(3)), QVariant(SerialOf(m.moduleType)));
    for (quint32 n = 1; n <= 3; ++n)
        EXPECT_EQ(state.value(Id(n)).type(), QVariant::String) << n;

    // A poll emits the same three.
    SignalCount<ConfigDeviceState_t> published(_w, &DeviceWrapper::DeviceStateUpdated);
    _w->PollStatus();
    ASSERT_EQ(published.count(), 1);
    EXPECT_EQ(std::get<0>(published.last()), state);
}

TEST_P(VersionOnlyWrappers, FillsTheTableOfItsModelNumber)
{
    const Member& m = GetParam();
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(kConfigId);
    table->clear();
    _w->InitDeviceDescriptors(kConfigId);
    // The connection status, then the model's three identity strings.
    const std::vector<eParam_t> ids = table->GetParamIDs();
    ASSERT_EQ(ids.size(), 4u);
    const char* const names[] = {"eParamID_FpgaVersion", "eParamID_DuviRuravodIvoduri", "eParamID_VoruZevezoZerazi"};
    for (quint32 n = 1; n <= 3; ++n) {
        EXPECT_EQ(quint32(ids[n]), Id(n));
        ParamDescriptor* d = table->GetDescriptor(tovikconfig::ParamID(Id(n)));
        ASSERT_NE(d, nullptr) << m.name << " " << n;
        EXPECT_EQ(d->GetParamIDName(), names[n - 1]);
    }
    // A second call empties the table first.
    _w->InitDeviceDescriptors(kConfigId);
    EXPECT_EQ(table->size(), 4u);
}

TEST_P(VersionOnlyWrappers, UpdateWaitsForLinkConnectionAndIdleness)
{
    ASSERT_TRUE(Sim().WriteRegisters(1, 0, 1, convsim::Bytes{2, 5}));
    ExpectUpdateGuarded(_w, Sim(), [this] { _w->UpdateDevice(); });
    _w->UpdateDevice();
    EXPECT_EQ(State().value(Id(1)), QVariant(QString("2.5")));
    EXPECT_EQ(State().size(), 3);
}

TEST_P(VersionOnlyWrappers, ParameterChangesChangeNothing)
{
    const Member& m = GetParam();
    const ConfigDeviceState_t before = State();
    const size_t commands = Sim().Log().size();
    tovik::test::MessageLog messages;
    _w->SetParam(Id(1), QVariant(uint(5)), LumoTimeStamp());
    _w->SetParam(0x7FFF, QVariant(QString("a \"b\"\t")), LumoTimeStamp());
    _w->InitDevice();
    _w->UpdateDeviceStatus();
    EXPECT_EQ(State(), before);
    EXPECT_EQ(Sim().Log().size(), commands);
    if (m.log) {
        const QString first = QString("%1 %2 value  QVariant(uint, 5) ").arg(m.log).arg(Id(1));
        const QString second = QString("%1 32767 value  QVariant(QString, \"a \"b\"\t\") ").arg(m.log);
        EXPECT_EQ(messages.Lines(), QStringList({first, second}));
        EXPECT_TRUE(messages.Contains(QtDebugMsg, first));
    } else {
        EXPECT_TRUE(messages.Lines().isEmpty()) << messages.Lines().join('|').toStdString();
    }
}

TEST_P(VersionOnlyWrappers, DisconnectStopsTheDevice)
{
    SignalCount<> lost(_w, &DeviceWrapper::CommError);
    _w->DisconnectDevice();
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(Inside::Timer(_w)->isActive());
}

INSTANTIATE_TEST_SUITE_P(Members, VersionOnlyWrappers, ::testing::ValuesIn(kMembers),
                         [](const ::testing::TestParamInfo<Member>& info) { return std::string(info.param.name); });

// Without a link the wrapper is dropped at once and publishes nothing.
TEST(VersionOnlyWrapper, WithoutLinkDisconnects)
{
    CCmdEngine* engine = new CCmdEngine(nullptr, nullptr, nullptr, 0);
    GravoWrapper w(engine, new AssemblyRecords, new CModuleType, nullptr);
    EXPECT_TRUE(w.HasCommError());
    EXPECT_FALSE(Inside::Timer(&w)->isActive());
    EXPECT_TRUE(Inside::State(&w).isEmpty());
}

TEST(DebugLine, ItemsAndVariants)
{
    struct Case {
        std::function<void(DebugLine&)> write;
        const char* text;
    } cases[] = {
        {[](DebugLine& l) { l << "Not a valid param - " << 17498113u; }, "Not a valid param -  17498113 "},
        {[](DebugLine& l) { l << "LUT Upload FAILED!"; }, "LUT Upload FAILED! "},
        {[](DebugLine& l) { l << -3 << QString("x\"y"); }, "-3 x\"y "},
        {[](DebugLine& l) { l << QVariant(true) << QVariant(-7); }, "QVariant(bool, true) QVariant(int, -7) "},
        {[](DebugLine& l) { l << QVariant(QByteArray("a\\b")); }, "QVariant(QByteArray, \"a\\b\") "},
    };
    for (const Case& c : cases) {
        tovik::test::MessageLog messages;
        {
            DebugLine line;
            c.write(line);
        }
        EXPECT_EQ(messages.Lines(), QStringList({c.text}));
    }
}

} // namespace
