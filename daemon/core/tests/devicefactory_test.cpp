#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "catalog/assemblyrecords.h"
#include "catalog/cmoduletype.h"
#include "convsim/simulator.h"
#include "devicefactory.h"
#include "devicewrapper.h"
#include "engine/ccmdengine.h"
#include "messagelog.h"
#include "modeldirectory.h"
#include "myerrorreportif.h"
#include "platform/linif.h"
#include "serial/linserialif.h"
#include "childprocess.h"
#include "simrig.h"

namespace {

using tovik::test::MessageLog;
using tovik::test::SimRig;

// A model wrapper as the makers build them: it takes what the factory made.
class MadeWrapper : public DeviceWrapper {
public:
    MadeWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord, QObject* parent)
        : DeviceWrapper(engine, records, moduleRecord, parent), records(records), moduleRecord(moduleRecord)
    {
    }
    CCmdEngine* Engine() const { return _engine; }
    void InitDeviceDescriptors(int) override {}
    void SetParam(quint32, const QVariant&, const LumoTimeStamp&) override {}
    void InitDevice() override {}
    void UpdateDevice() override {}
    void UpdateDeviceStatus() override {}
    void DisconnectDevice() override { StopDevice(); }

    AssemblyRecords* records;
    CModuleType* moduleRecord;
};

DeviceWrapper* MakeWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord, QObject* parent)
{
    return new MadeWrapper(engine, records, moduleRecord, parent);
}

// Module types with a wrapper maker; every other type has none.
class TestModels : public ModelDirectory {
public:
    WrapperMaker WrapperFor(int moduleType) const override
    {
        return std::find(withWrapper.begin(), withWrapper.end(), moduleType) != withWrapper.end() ? &MakeWrapper
                                                                                                  : nullptr;
    }
    std::vector<int> withWrapper;
};

convsim::Personality Converter(int type)
{
    return convsim::Personality::ForType(type);
}

convsim::Personality WithProtocol(int type, int version)
{
    convsim::Personality p = Converter(type);
    p.protocolVersion = uint8_t(version);
    return p;
}

convsim::Personality Unconfigured(int type)
{
    convsim::Personality p = Converter(type);
    p.moduleState = 0;
    return p;
}

convsim::Personality WithRelease(int type, uint8_t major, uint8_t minor)
{
    convsim::Personality p = Converter(type);
    p.releaseVersion = {major, minor};
    return p;
}

// Simulated converters on pseudo-terminals, listed as the candidate ports.
class DeviceFactoryTest : public ::testing::Test {
protected:
    void Plug(const std::vector<convsim::Personality>& converters)
    {
        _rig.reset(new SimRig);
        for (const convsim::Personality& converter : converters)
            _rig->Add(converter);
        ASSERT_TRUE(_rig->Started());
        const std::string list = converters.empty() ? _rig->Dir().File("ttyNONE") : _rig->PortList();
        ::setenv("PORTVANE_SERIAL_PORTS", list.c_str(), 1);
    }

    void TearDown() override
    {
        _rig.reset();
        ::unsetenv("PORTVANE_SERIAL_PORTS");
    }

    // Every port the search tried is given back.
    void ExpectPortsFree()
    {
        LinSerialIF port;
        port.EnumeratePorts();
        for (int i = 0; i < port.GetPortCount(); ++i)
            EXPECT_TRUE(port.Open(i)) << "port " << i;
        port.Close();
    }

    std::unique_ptr<SimRig> _rig;
    LinIF _platform;
    MyErrorReportIF _errors;
    TestModels _models;
    DeviceFactory _factory{&_platform, &_errors, &_models};
};

TEST_F(DeviceFactoryTest, SearchResults)
{
    const quint32 untouched = 99;
    struct Case {
        const char* name;
        std::vector<convsim::Personality> ports;
        quint32 status;
        std::vector<bool> asked;
        std::vector<const char*> warnings;
    };
    const Case cases[] = {
        {"no port", {}, untouched, {}, {}},
        {"converter without a wrapper", {Converter(7)}, 0, {true}, {}},
        {"search goes past models without a wrapper", {Converter(7), Converter(12)}, 0, {true, true}, {}},
        {"unconfigured converter", {Unconfigured(5)}, 0, {true}, {}},
        {"unknown type is not fatal", {Converter(40), Converter(7)}, 0, {true, true},
         {"\"Non-Fatal Connect result: -5\""}},
        {"release without description", {WithRelease(14, 1, 3)}, 8, {true},
         {"\"Non-Fatal Connect result: -9\""}},
        {"protocol mismatch ends the search", {WithProtocol(7, 2), Converter(7)}, 4, {true, false},
         {"\"Fatal Connect result: -2\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Plug(c.ports);
        MessageLog messages;
        quint32 status = untouched;
        std::unique_ptr<DeviceWrapper> wrapper(_factory.CreateDeviceWrapper(&status, nullptr));

        // No model of these converters has a wrapper.
        EXPECT_EQ(wrapper, nullptr);
        EXPECT_EQ(status, c.status);
        for (size_t i = 0; i < c.asked.size(); ++i)
            EXPECT_EQ(!_rig->Sim(i).Log().empty(), c.asked[i]) << "port " << i;
        for (const char* line : c.warnings)
            EXPECT_TRUE(messages.Contains(QtWarningMsg, line)) << line;
        for (const QString& m : messages.Lines()) {
            if (m.contains("Connect result")) {
                EXPECT_TRUE(std::find(c.warnings.begin(), c.warnings.end(), m.toStdString()) != c.warnings.end())
                    << m.toStdString();
            }
        }

        ExpectPortsFree();
        TearDown();
    }
}

TEST_F(DeviceFactoryTest, ModelWithAMakerGetsItsWrapper)
{
    _models.withWrapper = {14};
    Plug({Converter(7), WithRelease(14, 1, 3), Converter(14)});
    quint32 status = 99;
    std::unique_ptr<DeviceWrapper> wrapper(_factory.CreateDeviceWrapper(&status, nullptr));

    // The first converter is skipped; the second is taken with its
    // non-fatal result, and the search ends there.
    ASSERT_NE(wrapper, nullptr);
    auto* made = static_cast<MadeWrapper*>(wrapper.get());
    EXPECT_EQ(made->Engine()->GetModuleType()._moduleTypeID, 14);
    EXPECT_TRUE(made->Engine()->IsConnected());
    EXPECT_NE(made->records, nullptr);
    EXPECT_NE(made->moduleRecord, nullptr);
    EXPECT_EQ(status, 8u);
    EXPECT_FALSE(_rig->Sim(0).Log().empty());
    EXPECT_FALSE(_rig->Sim(1).Log().empty());
    EXPECT_TRUE(_rig->Sim(2).Log().empty());

    // The wrapper holds its port until it goes.
    wrapper.reset();
    ExpectPortsFree();
}

} // namespace

namespace {

convsim::Fault Silence()
{
    convsim::Fault f;
    f.kind = convsim::Fault::Kind::Silence;
    return f;
}

size_t Asked(SimRig& rig, size_t index)
{
    return rig.Sim(index).Log().size();
}

TEST_F(DeviceFactoryTest, IdentifiedPortsAreLeftAloneUntilHotPlug)
{
    Plug({Converter(7)});
    quint32 status = 0;
    EXPECT_EQ(_factory.CreateDeviceWrapper(&status, nullptr), nullptr);
    const size_t asked = Asked(*_rig, 0);
    ASSERT_GT(asked, 0u);
    EXPECT_EQ(_factory.NextProbeDelayMs(), -1) << "nothing failed";

    EXPECT_EQ(_factory.CreateDeviceWrapper(&status, nullptr), nullptr);
    EXPECT_EQ(Asked(*_rig, 0), asked) << "a converter without a wrapper is not asked again";

    _factory.PortsChanged();
    EXPECT_EQ(_factory.CreateDeviceWrapper(&status, nullptr), nullptr);
    EXPECT_GT(Asked(*_rig, 0), asked) << "after hot-plug every port is looked at";
}

TEST_F(DeviceFactoryTest, SilentConverterIsProbedAgainAfterAPause)
{
    _models.withWrapper = {5};
    Plug({Converter(5)});
    _rig->Sim(0).AddFault(Silence());
    const QString port = QString::fromStdString(_rig->Link(0));
    MessageLog messages;
    quint32 status = 0;
    EXPECT_EQ(_factory.CreateDeviceWrapper(&status, nullptr), nullptr);
    EXPECT_TRUE(messages.Contains(QtWarningMsg, "\"Fatal Connect result: -1\""));
    EXPECT_TRUE(messages.Has(QStringLiteral("No converter taken on %1; probing it again in 2000 ms").arg(port)));
    const qint64 delay = _factory.NextProbeDelayMs();
    EXPECT_GT(delay, 1000);
    EXPECT_LE(delay, 2000);

    // Not due yet: the converter is not asked.
    const size_t asked = Asked(*_rig, 0);
    EXPECT_EQ(_factory.CreateDeviceWrapper(&status, nullptr), nullptr);
    EXPECT_EQ(Asked(*_rig, 0), asked);
    EXPECT_EQ(_factory.Schedule().Failures(port), 1);

    // It answers again; once due, the next search takes it.
    _rig->Sim(0).ClearFaults();
    ASSERT_TRUE(tovik::test::WaitUntil([&] { return _factory.NextProbeDelayMs() == 0; }, 3000));
    std::unique_ptr<DeviceWrapper> wrapper(_factory.CreateDeviceWrapper(&status, nullptr));
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(messages.Has(QStringLiteral("The converter on %1 answers again after 1 failed probes").arg(port)));
    EXPECT_EQ(_factory.NextProbeDelayMs(), -1);

    // Bound: not opened again while the wrapper lives, hot-plug or not.
    _factory.PortsChanged();
    const size_t whileBound = Asked(*_rig, 0);
    EXPECT_EQ(_factory.CreateDeviceWrapper(&status, nullptr), nullptr);
    EXPECT_EQ(Asked(*_rig, 0), whileBound);

    // A bound converter that is lost later is due after the first pause.
    static_cast<MadeWrapper*>(wrapper.get())->DisconnectDevice();
    static_cast<MadeWrapper*>(wrapper.get())->DisconnectDevice();
    EXPECT_EQ(_factory.Schedule().Failures(port), 1) << "one loss, however often reported";
    EXPECT_GT(_factory.NextProbeDelayMs(), 1000);
    EXPECT_EQ(_factory.CreateDeviceWrapper(&status, nullptr), nullptr) << "still held by the lost wrapper";
    wrapper.reset();
    EXPECT_EQ(_factory.CreateDeviceWrapper(&status, nullptr), nullptr) << "not due yet";
    EXPECT_EQ(Asked(*_rig, 0), whileBound);
    _factory.PortsChanged();
    wrapper.reset(_factory.CreateDeviceWrapper(&status, nullptr));
    EXPECT_NE(wrapper, nullptr) << "gone, and hot-plug makes it due";
    wrapper.reset();
    ExpectPortsFree();
}

} // namespace
