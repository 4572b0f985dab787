// Parameter ids of the box's own config (config 0) and the connection
// status every converter config carries.
#ifndef TOVIKCONFIG_BOXPARAMIDS_H
#define TOVIKCONFIG_BOXPARAMIDS_H

#include "tovikconfig/paramtypes.h"

namespace tovikconfig {

constexpr eParam_t ParamID(std::uint32_t value) { return static_cast<eParam_t>(value); }

// Connection status of a converter config.
constexpr eParam_t eParamID_CxnStatus = ParamID(0x00800000);

// Device slots. Per-slot ids: base + slot (1..4); the id names are
// "eParamID_Device_%d_Type", "_SN", "_Name" and "_CxnStatus".
constexpr eParam_t eParamID_DeviceCount = ParamID(0x02000001);
constexpr eParam_t eParamID_SerialNumber = ParamID(0x02000002);
constexpr std::uint32_t kDeviceTypeBase = 0x02000009;
constexpr std::uint32_t kDeviceSNBase = 0x02000011;
constexpr std::uint32_t kDeviceNameBase = 0x02000019;
constexpr std::uint32_t kDeviceCxnStatusBase = 0x02000021;
constexpr int kDeviceSlotCount = 4;
constexpr eParam_t DeviceTypeParamID(int slot) { return ParamID(kDeviceTypeBase + slot); }
constexpr eParam_t DeviceSNParamID(int slot) { return ParamID(kDeviceSNBase + slot); }
constexpr eParam_t DeviceNameParamID(int slot) { return ParamID(kDeviceNameBase + slot); }
constexpr eParam_t DeviceCxnStatusParamID(int slot) { return ParamID(kDeviceCxnStatusBase + slot); }

// Network.
constexpr eParam_t eParamID_IPConfig = ParamID(0x101);
constexpr eParam_t eParamID_IPAddress = ParamID(0x102);
constexpr eParam_t eParamID_SubnetMask = ParamID(0x103);
constexpr eParam_t eParamID_DefaultGateway = ParamID(0x104);
constexpr eParam_t eParamID_IPAddress_Actual = ParamID(0x105);
constexpr eParam_t eParamID_SubnetMask_Actual = ParamID(0x106);
constexpr eParam_t eParamID_DefaultGateway_Actual = ParamID(0x107);
constexpr eParam_t eParamID_SystemName = ParamID(0x108);
constexpr eParam_t eParamID_MACAddress = ParamID(0x109);
constexpr eParam_t eParamID_IPAddress_Offered = ParamID(0x10a);
constexpr eParam_t eParamID_IPChangeCommit = ParamID(0x10b);
constexpr eParam_t eParamID_DHCPState = ParamID(0x10c);
constexpr eParam_t eParamID_SSDP_Enable_Host = ParamID(0x10d);
constexpr eParam_t eParamID_NetworkConnected = ParamID(0x10e);

// Versions and firmware update.
constexpr eParam_t eParamID_CurrentlyRunningImageVersion = ParamID(0x201);
constexpr eParam_t eParamID_MostRecentImageVersion = ParamID(0x202);
constexpr eParam_t eParamID_SafebootImageVersion = ParamID(0x204);
constexpr eParam_t eParamID_BootloaderVersion = ParamID(0x205);
constexpr eParam_t eParamID_FirmwareUpdateState = ParamID(0x206);
constexpr eParam_t eParamID_UploadedImageVersion = ParamID(0x207);
constexpr eParam_t eParamID_UploadedImageVerification = ParamID(0x208);
constexpr eParam_t eParamID_UploadedImageCommit = ParamID(0x209);
constexpr eParam_t eParamID_CommitStatusState = ParamID(0x20a);
constexpr eParam_t eParamID_CommitStatusPercentage = ParamID(0x20b);
constexpr eParam_t eParamID_Reboot = ParamID(0x20c);
constexpr eParam_t eParamID_UpdateFirmwareFromFile = ParamID(0x20d);
constexpr eParam_t eParamID_UploadRequest = ParamID(0x20e);
constexpr eParam_t eParamID_UploadPath = ParamID(0x20f);

// Presets and persistence. Preset n (1..kPresetNameCount) has its name at
// PresetNameParamID(n), id name "eParamID_PresetName_%d".
constexpr int kPresetNameCount = 20;
constexpr eParam_t PresetNameParamID(int preset) { return ParamID(0x65000000u | (static_cast<std::uint32_t>(preset) * 0x100u)); }
constexpr eParam_t eParamID_RegisterRecall = ParamID(0x5b010000);
constexpr eParam_t eParamID_RegisterRecallResult = ParamID(0x5d020000);
constexpr eParam_t eParamID_RegisterSave = ParamID(0x5c010000);
constexpr eParam_t eParamID_RegisterSaveResult = ParamID(0x5d030000);
constexpr eParam_t eParamID_RegisterLoad = ParamID(0x5c040000);
constexpr eParam_t eParamID_RegisterLoadResult = ParamID(0x5d050000);
constexpr eParam_t eParamID_RegisterStore = ParamID(0x5c030000);
constexpr eParam_t eParamID_RegisterStoreResult = ParamID(0x5d040000);
constexpr eParam_t eParamID_RegisterExportResult = ParamID(0x5d070000);
constexpr eParam_t eParamID_RegisterImportResult = ParamID(0x5d060000);
constexpr eParam_t eParamID_PersistStatus = ParamID(0x5d010000);
constexpr eParam_t eParamID_FactorySettings = ParamID(0x63010000);

// Alarm and authentication.
constexpr eParam_t eParamID_SafebootMode = ParamID(0x50040000);
constexpr eParam_t eParamID_Authentication = ParamID(0x32090000);
constexpr eParam_t eParamID_SystemPassword = ParamID(0x7b020000);

} // namespace tovikconfig

#endif
