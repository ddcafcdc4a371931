#pragma once

#include <QString>

// The usage events the program sends (AppServices::sendEvent, HAnalytics::sendEvent): one name per text, used
// by every caller. An event is (category, action, label); "fail" marks a failed device write or request, and
// where a value label exists it is sent on success. The texts are what the analytics reports group by, spelling
// slips ("udpate") included: they stay as they are.
namespace AnalyticsEvents {

// --- categories --------------------------------------------------------------------------------------------
constexpr char kDevicePointer[] = "device_pointer";               // action kMouseSpeed, label: the speed
constexpr char kDeviceScroll[] = "device_scroll";                 // action kWheelScrollLine, label: the lines
constexpr char kDeviceFirmware[] = "device_firmware";             // action kFirmwareUpdate
constexpr char kDeviceSaving[] = "device_saving";                 // action kPowerSaving
constexpr char kDriverKeyLight[] = "driver_keyLight";             // action keyAction(key)
constexpr char kDeviceOled[] = "device_oled";
constexpr char kDeviceDpi[] = "device_dpi";
constexpr char kDeviceReport[] = "device_report";                 // action kReport, label: the rate's index
constexpr char kDeviceKeyFunc[] = "device_keyfunc";               // action keyAction(key), label funcLabel()
constexpr char kDeviceMacro[] = "device_macro";
constexpr char kDeviceMultiMacro[] = "device_multimacro";
constexpr char kDeviceComposite[] = "device_composite";           // action keyAction(key), label keycodeLabel()
constexpr char kDeviceLight[] = "device_light";
constexpr char kDeviceReset[] = "device_reset";
constexpr char kDeviceInitialization[] = "device_initialization"; // action kInitDevice, label kFail
constexpr char kDriverCloud[] = "driver_cloud";
constexpr char kDriverSoftware[] = "driver_software";

// --- actions -----------------------------------------------------------------------------------------------
constexpr char kMouseSpeed[] = "mouse_speed";
constexpr char kWheelScrollLine[] = "wheel_scrollline";
constexpr char kFirmwareUpdate[] = "firmware_udpate";
constexpr char kPowerSaving[] = "power_saving";
// OLED
constexpr char kSetPicture[] = "set_picture";
constexpr char kOledLight[] = "light";
constexpr char kChangeMode[] = "change_mode";
// DPI
constexpr char kDpiValue[] = "dpivalue";
constexpr char kCurrentDpiIndex[] = "currentDpiIndex";
constexpr char kReport[] = "report";
// What failed of a macro or multi-macro assignment (label kFail).
constexpr char kSetMacro[] = "set_macro";
constexpr char kSetKeyFunc[] = "set_keyfunc";
constexpr char kSetReportRate[] = "set_reportrate";
constexpr char kSetDefinedPressMacro[] = "set_DefinedPressMacro";
constexpr char kSetMulti[] = "set_multi";
constexpr char kSetDefined[] = "set_defined";
// Light settings: changed in the interface (label: the value) ...
constexpr char kSpeed[] = "speed";
constexpr char kBrightness[] = "brightness";
constexpr char kModel[] = "model";
constexpr char kShortcutModel[] = "shortcutModel";
constexpr char kLogoModelChanged[] = "LogoModel";
constexpr char kOperatingMode[] = "operatingMode";
// ... and written to the device (label: the value, or kFail); the others as above.
constexpr char kLogoModel[] = "logoModel";
constexpr char kRgb[] = "rgb";
// Profiles and the device
constexpr char kGetDefaultPath[] = "get_defaultpath";
constexpr char kReset[] = "reset";
constexpr char kInitDevice[] = "init_device";
// Cloud and account (label kSuccess or kFail; the account actions kFail only)
constexpr char kUpload[] = "upload";
constexpr char kDownload[] = "download";
constexpr char kLogin[] = "login";
constexpr char kRegister[] = "register";
constexpr char kForget[] = "forget";
constexpr char kChangePassword[] = "change_password";
// Program update: the download failed, or succeeded.
constexpr char kSoftwareUpdateFailed[] = "software_udpate";
constexpr char kSoftwareUpdate[] = "software_update";

// --- labels ------------------------------------------------------------------------------------------------
constexpr char kFail[] = "fail";
constexpr char kSuccess[] = "success";
// Starting the firmware-update program elevated failed: path or file not found, access denied, elevation
// cancelled; ending it after an update failed.
constexpr char kPathFail[] = "path_fail";
constexpr char kAccessFail[] = "access_fail";
constexpr char kFileFail[] = "file_fail";
constexpr char kCancelledFail[] = "cancelled_fail";
constexpr char kKillFail[] = "kill_fail";

// --- texts with values -------------------------------------------------------------------------------------
inline QString keyAction(int key) { return QStringLiteral("key:%1").arg(key); }
inline QString funcLabel(int function) { return QStringLiteral("func:%1").arg(function); }
inline QString keycodeLabel(int keyCode) { return QStringLiteral("keycode:%1").arg(keyCode); }
inline QString brightnessLabel(int brightness) { return QStringLiteral("brightness:%1").arg(brightness); }
inline QString colorLabel(const QString& colour) { return QStringLiteral("color:%1").arg(colour); }
inline QString macroLabel(int playType, int ignoreType)
{
    return QStringLiteral("playtype:%1_ignoretype:%2").arg(playType).arg(ignoreType);
}
inline QString definedMacroLabel(int macro) { return QStringLiteral("definedMacro:%1").arg(macro); }
inline QString rgbLabel(int red, int green, int blue)
{
    return QStringLiteral("r:%1_g:%2_b:%3").arg(red).arg(green).arg(blue);
}

} // namespace AnalyticsEvents
