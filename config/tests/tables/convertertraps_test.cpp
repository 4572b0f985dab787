// Irregular entries of the converter tables: separator items, identity
// strings, the Pendro id base, hook creation orders, defaults outside their
// limits and Jastel's shared lists. Clients and stored settings depend on
// each of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "paramlink/paramlink.h"
#include "tovikconfig/descriptors.h"
#include "tovikconfig/models/hestraparamids.h"
#include "tovikconfig/models/jastelparamids.h"
#include "tovikconfig/models/mardexparamids.h"
#include "tovikconfig/models/pendroparamids.h"
#include "tovikconfig/models/quastelparamids.h"
#include "tovikconfig/tovikconfig.h"

using namespace tovikconfig;

namespace {

constexpr ViveRode_t kHestra = 6;
constexpr ViveRode_t kJastel = 13;
constexpr ViveRode_t kMardex = 15;
constexpr ViveRode_t kPendro = 19;
constexpr ViveRode_t kQuastel = 20;
constexpr ViveRode_t kScalers[] = {kHestra, kMardex, kPendro, kQuastel};

std::unique_ptr<DescriptorTable> Build(ViveRode_t model)
{
    auto table = std::make_unique<DescriptorTable>(1);
    EXPECT_TRUE(TovikConfig::AddParamDescriptors(table.get(), model));
    return table;
}

EnumDescriptor* Enum(const DescriptorTable& table, const std::string& idName)
{
    auto* d = dynamic_cast<EnumDescriptor*>(table.GetDescriptor(idName));
    EXPECT_NE(d, nullptr) << idName;
    return d;
}

IntegerDescriptor* Integer(const DescriptorTable& table, const std::string& idName)
{
    auto* d = dynamic_cast<IntegerDescriptor*>(table.GetDescriptor(idName));
    EXPECT_NE(d, nullptr) << idName;
    return d;
}

StringDescriptor* String(const DescriptorTable& table, const std::string& idName)
{
    auto* d = dynamic_cast<StringDescriptor*>(table.GetDescriptor(idName));
    EXPECT_NE(d, nullptr) << idName;
    return d;
}

std::vector<unsigned int> OrderedValues(EnumDescriptor* d)
{
    std::vector<unsigned int> values;
    for (const EnumValueDescriptor& item : d->GetOrderedEnumValueDescriptors())
        values.push_back(item.value);
    return values;
}

std::string Attribute(ParamDescriptor* d, const std::string& key)
{
    std::string value;
    EXPECT_TRUE(d->GetAttribute(key, value)) << key;
    return value;
}

} // namespace

// Hestra's one list of input region choices holds two separators, ordinary
// items whose values are -2 and -8 as unsigned numbers.
TEST(ConverterTraps, HestraSeparators)
{
    auto table = Build(kHestra);
    EnumDescriptor* d = Enum(*table, "eParamID_CfgInMode");
    ASSERT_NE(d, nullptr);
    const std::vector<EnumValueDescriptor> items = d->GetOrderedEnumValueDescriptors();
    ASSERT_EQ(items.size(), 15u);
    const std::string separator(36, '-');
    EXPECT_EQ(items[2].value, 0xFFFFFFFEu);
    EXPECT_EQ(items[8].value, 0xFFFFFFF8u);
    for (const EnumValueDescriptor& item : {items[2], items[8]}) {
        EXPECT_EQ(item.name, separator);
        EXPECT_EQ(item.shortName, separator);
    }
    EXPECT_EQ(OrderedValues(d), (std::vector<unsigned int>{0, 1, 0xFFFFFFFE, 3, 4, 5, 6, 7, 0xFFFFFFF8, 9, 10, 11,
                                                           12, 13, 14}));
    // By value the separators come last, -8 before -2.
    const auto byValue = d->GetEnumValueDescriptors();
    EXPECT_EQ(std::prev(byValue.end(), 2)->first, 0xFFFFFFF8u);
    EXPECT_EQ(std::prev(byValue.end())->first, 0xFFFFFFFEu);
    EXPECT_EQ(d->GetEnumValueDescriptor(2).name, "Invalid");
    EXPECT_EQ(d->GetEnumValue(8), "0x8");
    EXPECT_EQ(d->GetFactoryDefault(), 0u);
    // The same value means another choice on the other scalers.
    EXPECT_EQ(d->GetEnumValue(3), "Fixed Aspect SDI Out");
    EXPECT_EQ(Enum(*Build(kMardex), "eParamID_CfgInMode")->GetEnumValue(3), "Fixed Size");
}

// The identity strings: blanks ending the short names, the colons of the
// ROI scalers, and the serial number's display type.
TEST(ConverterTraps, IdentityStrings)
{
    struct IdentityCase {
        ViveRode_t model;
        const char* fpgaName;
        const char* releaseName;
        const char* serialName;
        unsigned int serialDisplay;
    };
    const IdentityCase cases[] = {
        {kHestra, "FPGA Version:", "Release Version:", "Serial Number:", 0x2002},
        {kMardex, "FPGA Version:", "Release Version:", "Serial Number:", 0x2002},
        {kPendro, "FPGA Version:", "Release Version:", "Serial Number:", 0x2002},
        {kQuastel, "FPGA Version:", "Release Version:", "Serial Number:", 0x2002},
        {kJastel, "FPGA Version", "Release Version", "Serial Number", 2},
        {9, "FPGA Version", "Release Version", "Serial Number", 2},
    };
    for (const IdentityCase& c : cases) {
        SCOPED_TRACE(c.model);
        auto table = Build(c.model);
        StringDescriptor* fpga = String(*table, "eParamID_FpgaVersion");
        StringDescriptor* release = String(*table, "eParamID_DuviRuravodIvoduri");
        StringDescriptor* serial = String(*table, "eParamID_VoruZevezoZerazi");
        ASSERT_TRUE(fpga && release && serial);
        EXPECT_EQ(fpga->GetName(), c.fpgaName);
        EXPECT_EQ(fpga->GetShortName(), c.fpgaName);
        EXPECT_EQ(release->GetName(), c.releaseName);
        EXPECT_EQ(release->GetShortName(), "Version: ");
        EXPECT_EQ(serial->GetName(), c.serialName);
        EXPECT_EQ(serial->GetShortName(), "Sn: ");
        unsigned int display = 0;
        EXPECT_TRUE(release->GetAttribute("DisplayType", display));
        EXPECT_EQ(display, 2u);
        EXPECT_TRUE(serial->GetAttribute("DisplayType", display));
        EXPECT_EQ(display, c.serialDisplay);
        for (StringDescriptor* d : {fpga, release, serial}) {
            EXPECT_EQ(d->GetAccessType(), 1u);
            EXPECT_EQ(d->GetMaxLength(), 20u);
            EXPECT_EQ(d->GetMaxIndex(), 19u);
            EXPECT_EQ(d->GetFactoryDefault(), "");
        }
    }
}

// Mardex's genlock has only the reference and free run, defaulting to free
// run; the EDID parameters are Mardex's alone.
TEST(ConverterTraps, MardexGenlockAndEdid)
{
    auto mardex = Build(kMardex);
    EnumDescriptor* genlock = Enum(*mardex, "eParamID_Genlock");
    ASSERT_NE(genlock, nullptr);
    EXPECT_EQ(OrderedValues(genlock), (std::vector<unsigned int>{2, 3}));
    EXPECT_EQ(genlock->GetFactoryDefault(), 3u);
    EXPECT_EQ(genlock->GetEnumValue(0), "0x0");
    EXPECT_EQ(genlock->GetEnumValue(3), "Free Run");

    EnumDescriptor* flow = Enum(*mardex, "eParamID_EDIDFlowThru");
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->GetParamID(), mardex::eParamID_EDIDFlowThru);
    EXPECT_EQ(flow->GetParamID(), 0x010d003au);
    EXPECT_EQ(flow->GetName(), "EDID Flow Through:");
    EXPECT_EQ(flow->GetShortName(), "EDID");
    EXPECT_EQ(flow->GetEnumValue(1), "Mardex/Monitor");
    StringDescriptor* name = String(*mardex, "eParamID_EDIDNameStr");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->GetParamID(), 0x010d003bu);
    EXPECT_EQ(name->GetFactoryDefault(), " ");

    for (ViveRode_t model : {kHestra, kPendro, kQuastel}) {
        SCOPED_TRACE(model);
        auto table = Build(model);
        EXPECT_EQ(table->GetDescriptor(std::string("eParamID_EDIDFlowThru")), nullptr);
        EXPECT_EQ(table->GetDescriptor(std::string("eParamID_EDIDNameStr")), nullptr);
        EnumDescriptor* d = Enum(*table, "eParamID_Genlock");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(OrderedValues(d), (std::vector<unsigned int>{0, 1, 2, 3}));
        EXPECT_EQ(d->GetEnumValue(1), "HDMI");
        EXPECT_EQ(d->GetFactoryDefault(), 0u);
    }
}

// Pendro's ids run from 0x00111001 to 0x00111047, not on the converter
// rule's 0x0111xxxx.
TEST(ConverterTraps, PendroIdBase)
{
    auto table = Build(kPendro);
    EXPECT_EQ(pendro::kParamIDBase, 0x00111000u);
    EXPECT_EQ(table->GetDescriptor(std::string("eParamID_VoruZevezoZerazi"))->GetParamID(), 0x00111003u);
    EXPECT_EQ(table->GetDescriptor(std::string("eParamID_CfgOutMode"))->GetParamID(), 0x0011100cu);
    EXPECT_EQ(table->GetDescriptor(std::string("eParamID_OutFrameDelay"))->GetParamID(), 0x00111047u);
    EXPECT_EQ(pendro::eParamID_OutFrameDelay, 0x00111047u);
    for (eParam_t id : table->GetParamIDs())
        EXPECT_TRUE(id == eParamID_CxnStatus || (id >= 0x00111001u && id <= 0x00111047u)) << std::hex << id;
    EXPECT_EQ(table->GetDescriptor(ParamID(0x01110003)), nullptr);
    // The same parameter is Mardex's index less two.
    EXPECT_EQ(mardex::eParamID_OutFrameDelay, 0x010d0049u);
}

// The picture hooks and their neighbours are built in each model's own
// order, which is not the order of the ids.
TEST(ConverterTraps, PictureHookCreationOrders)
{
    struct OrderCase {
        ViveRode_t model;
        std::uint32_t base;
        std::vector<std::uint32_t> indices; // creation order from the first input hook
    };
    const OrderCase cases[] = {
        {kHestra, 0x01040000, {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x2b, 0x19}},
        {kMardex, 0x010d0000, {0x20, 0x21, 0x22, 0x23, 0x42, 0x25, 0x26, 0x27, 0x28, 0x24, 0x29, 0x2a, 0x2b, 0x19}},
        {kPendro, 0x00111000, {0x20, 0x21, 0x22, 0x23, 0x40, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x2b, 0x19}},
        {kQuastel, 0x01120000, {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x40, 0x29, 0x2a, 0x2b, 0x19}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.model);
        auto table = Build(c.model);
        const std::vector<eParam_t> ids = table->GetParamIDs();
        const auto first = std::find(ids.begin(), ids.end(), ParamID(c.base | 0x20));
        ASSERT_NE(first, ids.end());
        std::vector<std::uint32_t> indices;
        for (auto it = first; it != ids.end() && indices.size() < c.indices.size(); ++it)
            indices.push_back(*it & 0xFFFu);
        EXPECT_EQ(indices, c.indices);
    }
    auto mardex = Build(kMardex);
    EXPECT_EQ(Attribute(mardex->GetDescriptor(mardex::eParamID_ImageSdiOutGenLock), "DataAttribute"), "sdioutformat");
    EXPECT_EQ(mardex->GetDescriptor(mardex::eParamID_ImageOutFrameDelay)->GetClassNames(),
              std::vector<std::string>{"sdioutstatus"});
}

// Defaults below the minimum, maxima below the default, a one-blank default:
// the tables keep them as they are.
TEST(ConverterTraps, DefaultsOutsideTheirLimits)
{
    for (ViveRode_t model : kScalers) {
        SCOPED_TRACE(model);
        auto table = Build(model);
        for (const char* idName : {"eParamID_CfgInW", "eParamID_CfgInH", "eParamID_CfgOutW", "eParamID_CfgOutH"}) {
            IntegerDescriptor* d = Integer(*table, idName);
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->GetMinValue(), 4u);
            EXPECT_EQ(d->GetFactoryDefault(), 0u);
            EXPECT_EQ(d->GetMaxValue(), 0u);
        }
        IntegerDescriptor* x = Integer(*table, "eParamID_CfgInX");
        ASSERT_NE(x, nullptr);
        EXPECT_EQ(x->GetFactoryDefault(), 440u);
        EXPECT_EQ(x->GetMaxValue(), 0u);
        EXPECT_EQ(x->GetRegEx(), "*");
        IntegerDescriptor* hDelay = Integer(*table, "eParamID_GenHDelay");
        ASSERT_NE(hDelay, nullptr);
        EXPECT_EQ(hDelay->GetMaxValue(), 2200u);
        EXPECT_EQ(Attribute(hDelay, "ControlParam"), "eParamID_GenHDelayMax");
        EXPECT_EQ(Integer(*table, "eParamID_GenVDelay")->GetMaxValue(), 100u);
        EXPECT_EQ(table->GetDescriptor(std::string("eParamID_RotationStatusColor")) == nullptr, model == kHestra);
        EXPECT_EQ(Enum(*table, "eParamID_GenlockLabelColor")->GetFactoryDefault(), 2u);
        StringDescriptor* module = String(*table, "eParamID_ModuleAssemblyBd");
        EXPECT_EQ(module->GetName(), "AsmbBd:");
        EXPECT_EQ(module->GetShortName(), "AsmBd:");
    }
    EXPECT_EQ(Enum(*Build(kHestra), "eParamID_InRgbRange")->GetName(), "RGB Range");
    EXPECT_EQ(Enum(*Build(kMardex), "eParamID_AudDpConversion")->GetName(), "Dp Conversion:");
    EXPECT_EQ(Enum(*Build(kMardex), "eParamID_RotationStatusColor")->GetEnumValue(2), "black");
    EXPECT_EQ(Enum(*Build(kPendro), "eParamID_CfgOutRotation")->GetEnumValue(1), "90&#176");
}

// The Jastel's shared value lists, the short name that is its own id name,
// the repeated item name and the list without the value 0.
TEST(ConverterTraps, JastelQuirks)
{
    auto table = Build(kJastel);
    EXPECT_EQ(table->GetDescriptor(jastel::eParamID_InColorSpace)->GetShortName(), "eParamID_InColorSpace");
    EXPECT_EQ(table->GetDescriptor(jastel::eParamID_InColorSpace)->GetName(), "Color Space");

    EnumDescriptor* fps = Enum(*table, "eParamID_Sdi1VidFpsStatus");
    ASSERT_NE(fps, nullptr);
    EXPECT_EQ(OrderedValues(fps), (std::vector<unsigned int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(fps->GetEnumValueDescriptor(0).value, 99999u);
    EXPECT_EQ(fps->GetFactoryDefault(), 0u) << "a default that names no item";

    EnumDescriptor* colour = Enum(*table, "eParamID_HdmiOutColorSpaceStatus");
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->GetEnumValue(0), "444 RGB");
    EXPECT_EQ(colour->GetEnumValue(1), "444 RGB");

    const std::vector<std::string> rgb = {"eParamID_InRgbRange", "eParamID_HdmiRgbRange", "eParamID_SdiRgbRange",
                                          "eParamID_HdmiOutRgbRangeStatus"};
    for (const std::string& idName : rgb) {
        EnumDescriptor* d = Enum(*table, idName);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->GetEnumValue(0), "SMPTE") << idName;
        EXPECT_EQ(d->GetEnumValue(1), "Full") << idName;
        for (const EnumValueDescriptor& item : d->GetOrderedEnumValueDescriptors()) {
            EXPECT_EQ(item.shortName, item.name);
            EXPECT_EQ(item.extra, "");
        }
    }
    EnumDescriptor* lock2 = Enum(*table, "eParamID_Sdi2LockStatus");
    ASSERT_NE(lock2, nullptr);
    EXPECT_EQ(lock2->GetEnumValue(1), "sd");
    EXPECT_EQ(Attribute(lock2, "DataAttribute"), "sdi2sdstatus");
    EXPECT_EQ(Enum(*table, "eParamID_Sdi1LockStatus")->GetEnumValue(1), "locked");

    IntegerDescriptor* offset = Integer(*table, "eParamID_AudOffset");
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(offset->GetMaxValue(), 112u);
    EXPECT_EQ(offset->GetScaleBy(), 16u);
    EXPECT_EQ(offset->GetDisplayPrecision(), 4u);
    EXPECT_EQ(table->GetParamIDs().back(), jastel::eParamID_HdmiOutVideoStatus);
    EXPECT_EQ(jastel::eParamID_HdmiOutVideoStatus, 0x010b003du);
}

// The store takes what the tables allow: texts past their maximum length,
// numbers outside the limits and values no item names, and reads a
// never-set value as its factory default, also below the minimum.
TEST(ConverterTraps, StoreTakesWhatTheTablesAllow)
{
    constexpr eConfigID_t kConfig = 3;
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(kConfig);
    table->clear();
    ASSERT_TRUE(TovikConfig::AddParamDescriptors(table, kMardex));
    Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig("local://configid=3", "");
    ASSERT_NE(config, nullptr);

    EXPECT_EQ(config->GetIntegerValue(mardex::eParamID_CfgInW), 0);
    EXPECT_EQ(config->GetIntegerValue(mardex::eParamID_Genlock), 3);
    std::string text;
    EXPECT_TRUE(config->GetStringValue(mardex::eParamID_EDIDNameStr, text));
    EXPECT_EQ(text, " ");

    const std::string alarm = "Reference is incompatible with the Output Format";
    ASSERT_EQ(alarm.size(), 48u);
    const std::string roi =
        "{\"mode\":\"1\",\"x\":\"440\",\"y\":\"360\",\"w\":\"1040\",\"h\":\"480\",\"screenw\":\"1920\",\"screenh\":\"1200\"}";
    EXPECT_TRUE(config->SetStringValue(mardex::eParamID_GenlockRefAlarmStr, alarm));
    EXPECT_TRUE(config->SetStringValue(mardex::eParamID_InScreenProxy, roi));
    EXPECT_TRUE(config->SetIntegerValue(mardex::eParamID_CfgInW, 2));
    EXPECT_TRUE(config->SetIntegerValue(mardex::eParamID_GenVDelay, 101));
    EXPECT_TRUE(config->SetIntegerValue(mardex::eParamID_Genlock, 0));

    EXPECT_TRUE(config->GetStringValue(mardex::eParamID_GenlockRefAlarmStr, text));
    EXPECT_EQ(text, alarm);
    EXPECT_TRUE(config->GetStringValue(mardex::eParamID_InScreenProxy, text));
    EXPECT_EQ(text, roi);
    EXPECT_EQ(config->GetIntegerValue(mardex::eParamID_CfgInW), 2);
    EXPECT_EQ(config->GetIntegerValue(mardex::eParamID_GenVDelay), 101);
    EXPECT_EQ(config->GetIntegerValue(mardex::eParamID_Genlock), 0);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
    table->clear();
}
