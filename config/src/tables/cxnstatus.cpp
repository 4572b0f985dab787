#include "tovikconfig/tovikconfig.h"

#include "paramlink/descriptortable.h"
#include "tables/tablerow.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/enumdescriptor.h"

namespace tovikconfig {

namespace {

using tables::Item;

constexpr Item kCxnStatusItems[] = {
    {0, "Connected to module", "Connected"},
    {1, "No Device", "No Device"},
    {2, "Connection to module failed: (Wrong module)", "Wrong module"},
    {3, "Connection to module failed: (Unknown device)", "Unknown device"},
    {4, "Connection to module failed: (Protocol mismatch)", "Protocol mismatch"},
    {5, "Connection to module failed: (Type Support Not Installed)", "Type Support Not Installed"},
    {6, "Connection to module failed: (Not connected)", "Not connected"},
    {7, "Connection to module failed: (Timed out)", "Timed out"},
    {8, "Connected to module: (Data config disabled)", "Data config disabled"},
    {9, "Connected to module: (Bad FPGA version)", "Bad FPGA version"},
    {10, "Connected to module: (No module information)", "No module information"},
    {11, "Connected to module: (Bad Module Type)", "Bad Module Type"},
    {12, "Connected to module: (No Module Type)", "No Module Type"},
    {13, "Connected to module: (Bad read of Module Type ID)", "Bad read of Module Type ID"},
    {14, "Unknown connection error", "Unknown error"},
};

constexpr unsigned int kNoDevice = 1;

} // namespace

bool TovikConfig::CompleteCxnStatusDescriptor(EnumDescriptor* d)
{
    if (!d)
        return false;
    d->SetParamType(eCParam_EnumValue);
    d->SetFeatureType(static_cast<eFeature_t>(2));
    d->SetPersistenceType(ePersist_Ephemeral);
    d->SetRegisterType(eUserRegister_Excluded);
    d->SetFactoryResetType(eFactoryReset_Excluded);
    d->SetRegEx("*");
    for (const Item& item : kCxnStatusItems)
        d->AddNameValuePair(item.value, item.name, item.shortName, nullptr, std::string());
    d->SetFactoryDefault(kNoDevice);
    d->SetAccessType(static_cast<eAccess_t>(1));
    return true;
}

bool TovikConfig::AddCommonPodunitParamDescriptors(DescriptorTable* table)
{
    if (!table)
        return false;
    EnumDescriptor* d = new EnumDescriptor();
    d->SetParamID(eParamID_CxnStatus);
    d->SetParamIDName("eParamID_CxnStatus");
    d->SetName("Device Connection Status");
    d->SetShortName("DevCxn");
    CompleteCxnStatusDescriptor(d);
    return table->AddDescriptor(d);
}

} // namespace tovikconfig
