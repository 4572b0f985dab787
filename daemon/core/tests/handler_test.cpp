#include <gtest/gtest.h>

#include <QPointer>

#include "engine/ccmdengine.h"
#include "myerrorreportif.h"
#include "paramlink/descriptortable.h"
#include "qtwait.h"
#include "signalcount.h"
#include "support/probewrapper.h"
#include "support/rawclient.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/tovikconfig.h"
#include "wrappersource.h"
#include "zirudodorav.h"

namespace {

using tovik::test::SignalCount;

const int kConfigId = 2;
const quint32 kCxnStatus = quint32(tovikconfig::eParamID_CxnStatus);

MyErrorReportIF sErrors;

class HandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Lumo::registerTimeStampMetaType();
        DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(kConfigId);
        table->clear();
        // A version-only converter model: the connection status and three texts.
        tovikconfig::TovikConfig::AddParamDescriptors(table, 8);
        ASSERT_TRUE(_raw.ok());
    }

    static ProbeWrapper* Wrapper(bool startNow = false)
    {
        return new ProbeWrapper(new CCmdEngine(nullptr, &sErrors, nullptr, 0), nullptr, startNow);
    }

    RawClient _raw{kConfigId};
};

TEST_F(HandlerTest, BindsTheWrapperToTheConvertersConfig)
{
    ProbeWrapper* wrapper = Wrapper();
    ZiruDodorav handler(9, wrapper, kConfigId);

    EXPECT_EQ(wrapper->parent(), &handler);
    EXPECT_EQ(wrapper->descriptorsFor, QList<int>{kConfigId});
    EXPECT_EQ(handler.GetConnectionStatus(), 9u);
    EXPECT_EQ(handler.GetConfigId(), kConfigId);
    EXPECT_EQ(_raw.Integer(kCxnStatus), 9);

    // Store to wrapper, queued on this thread.
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kCxnStatus), 4));
    ASSERT_TRUE(WaitFor([&] { return !wrapper->params.isEmpty(); }));
    EXPECT_EQ(wrapper->params.first().first, kCxnStatus);
    EXPECT_EQ(wrapper->params.first().second, QVariant(uint(4)));

    // Wrapper to store.
    ConfigDeviceState_t state;
    state.insert(kCxnStatus, QVariant(uint(12)));
    wrapper->EmitState(state);
    EXPECT_EQ(_raw.Integer(kCxnStatus), 12);

    SignalCount<QObject*> renamed(&handler, &ZiruDodorav::DeviceNameChange);
    wrapper->EmitModuleNameChange();
    ASSERT_EQ(renamed.count(), 1);
    EXPECT_EQ(std::get<0>(renamed.last()), &handler);
}

TEST_F(HandlerTest, LostConverterDeletesTheHandlerLater)
{
    ProbeWrapper* wrapper = Wrapper();
    QPointer<ZiruDodorav> handler = new ZiruDodorav(0, wrapper, kConfigId);
    QPointer<ProbeWrapper> watched = wrapper;
    wrapper->Lose();
    EXPECT_FALSE(handler.isNull());
    ASSERT_TRUE(WaitFor([&] { return handler.isNull(); }));
    EXPECT_TRUE(watched.isNull());
}

TEST_F(HandlerTest, LossDuringConstructionStillFreesTheHandler)
{
    // Started on an engine without a link: the loss is reported before
    // the handler exists.
    ProbeWrapper* wrapper = Wrapper(true);
    ASSERT_TRUE(wrapper->HasCommError());
    QPointer<ZiruDodorav> handler = new ZiruDodorav(0, wrapper, kConfigId);
    ASSERT_TRUE(WaitFor([&] { return handler.isNull(); }));
}

TEST_F(HandlerTest, WithoutWrapper)
{
    ZiruDodorav handler(3, nullptr, kConfigId);
    EXPECT_EQ(handler.GetTypeCode(), 23u);
    EXPECT_EQ(handler.GetSerialNumber(), QString());
    EXPECT_EQ(handler.GetModuleName(), QString());
    EXPECT_EQ(handler.GetConnectionStatus(), 3u);
    EXPECT_EQ(_raw.Integer(kCxnStatus), 3);
}

// Answers with a fixed code and builds a probe wrapper or none.
class ScriptedSource : public WrapperSource {
public:
    DeviceWrapper* CreateDeviceWrapper(quint32* code, QObject* parent) override
    {
        *code = _code;
        if (!_builds)
            return nullptr;
        ProbeWrapper* w = new ProbeWrapper(new CCmdEngine(nullptr, &sErrors, nullptr, 0));
        w->setParent(parent);
        return w;
    }
    quint32 _code = 0;
    bool _builds = false;
};

TEST_F(HandlerTest, CreateUsesTheSourcesCode)
{
    ScriptedSource source;
    source._code = 4;
    EXPECT_EQ(ZiruDodorav::Create(source, kConfigId, nullptr), nullptr);

    source._code = 8;
    source._builds = true;
    std::unique_ptr<ZiruDodorav> handler(ZiruDodorav::Create(source, kConfigId, nullptr));
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(handler->GetConnectionStatus(), 8u);
    EXPECT_EQ(handler->GetConfigId(), kConfigId);
    EXPECT_EQ(_raw.Integer(kCxnStatus), 8);
}

} // namespace
