// The status lines and box texts the user sees, exactly as the product words them.
#pragma once

namespace corvane::text {

inline constexpr char kWaitingEsc[] = "Waiting ESC...";
inline constexpr char kWaitingDongleAtStart[] = "Waiting USB dongle...";
inline constexpr char kWaitingDongleAfterRemoval[] = "Waiting USB Dongle...";
inline constexpr char kDongleConnected[] = "USB dongle connected.";
inline constexpr char kConnectedQ8[] = "Corvane VRX_Q8 %c%0.1f connected.";
inline constexpr char kConnectedQ10[] = "Corvane VRX_Q10 %c%0.1f connected.";
inline constexpr char kNotSupported[] = "Connected ESC not in support list.";
inline constexpr char kGettingParams[] = "Getting Parameters...";
inline constexpr char kGettingParamsDone[] = "Getting Parameters... Completed.";
inline constexpr char kGetParamsFailed[] = "Fail to Get Parameters!";
inline constexpr char kParamVersionUnsupported[] = "Parameter Version not support.";
inline constexpr char kPleaseUpdateFirmware[] = "Please update Firmware!!";
inline constexpr char kEscDisconnected[] = "ESC Disconnected.";
inline constexpr char kParamsIdentical[] = "Parameters are identical, skip updating.";
inline constexpr char kUpdatingParams[] = "Updating Parameters to ESC...";
inline constexpr char kUpdateParamsDone[] = "Update Parameters Completed.";
inline constexpr char kUpdateParamsError[] = "Update Parameters ERROR!!";
// Our own addition: a written block read back differs from what was sent.
inline constexpr char kEscHoldsOther[] = "ESC holds other values than were sent.";
// Our own addition: changes still waiting for WRITE when the connection ended, and the ESC
// read afterwards holds other settings than the ones they were made against.
inline constexpr char kUnsentDropped[] =
    "Unsent changes were dropped: the ESC holds other settings.";
// Our own addition: the dongle is plugged in but its hidraw node may not be opened by us.
inline constexpr char kDongleAccessDenied[] =
    "USB dongle found but access denied: install the udev rule (70-corvane-dongle.rules) and "
    "re-plug the dongle.";
// Our own addition: another program (a second copy of this one) holds the dongle.
inline constexpr char kDongleInUse[] = "USB dongle in use by another program.";

inline constexpr char kFirmwareCaption[] = "FIRMWARE UPDATE";
inline constexpr char kInvalidFirmware[] = "Invalid Firmware File!";
inline constexpr char kWrongModel[] = "Incorrect ESC Model!";
inline constexpr char kFirmwareConfirm[] =
    "You're going to update ESC's firmware,\nall parameters will reset to default.\nProceed to "
    "continue?";
inline constexpr char kUpdatingFirmware[] = "Updating Firmware...";
inline constexpr char kFirmwareCancelled[] = "Firmware Update Cancelled.";
inline constexpr char kFirmwareDone[] = "Updating Firmware Completed.";
inline constexpr char kFirmwareFailed[] = "Fail to Update Firmware!";
// The command line's update stopped by SIGINT or SIGTERM after the block on the wire.
inline constexpr char kFirmwareInterrupted[] =
    "Firmware update interrupted: the ESC needs a complete update.";
inline constexpr char kFirmwareFilter[] = "Corvane Upgrade Files (*.cuf)";
// Our own addition: a second update asked for while one is still sending blocks.
inline constexpr char kFirmwareBusy[] = "Firmware update in progress, please wait.";
// Our own addition: the window is closed while firmware blocks are going out.
inline constexpr char kCloseDuringFirmware[] =
    "A firmware update is in progress.\nClosing now can leave the ESC unusable.\nClose anyway?";
// Our own addition: the settings from before an update are offered back once it is read.
inline constexpr char kRestoreSettingsAsk[] =
    "Firmware updated.\nRestore your previous settings to the ESC?";
inline constexpr char kSettingsRestored[] = "Previous settings restored.";
// %1: the labels of the parameters the new firmware offers no place for, comma separated.
inline constexpr char kSettingsRestoredExcept[] = "Previous settings restored except: %1.";

// Our own addition: the settings file. %1: the file's name (without its folder).
inline constexpr char kSettingsCaption[] = "SETTINGS";
inline constexpr char kSaveSettingsAction[] = "Save Settings\u2026";
inline constexpr char kLoadSettingsAction[] = "Load Settings\u2026";
inline constexpr char kSettingsFilter[] = "Corvane Settings (*.json)";
inline constexpr char kSettingsSaved[] = "Settings saved to %1.";
// %1: the path as given; %2: the system's reason.
inline constexpr char kSettingsNotSaved[] = "The settings could not be saved to %1:\n%2";
inline constexpr char kSettingsLoaded[] = "Settings loaded from %1.";
// %2: the labels of the settings the ESC offers no place for, comma separated.
inline constexpr char kSettingsLoadedExcept[] = "Settings loaded from %1, except: %2.";
inline constexpr char kSettingsOtherModel[] = "These settings are for another ESC model.";
// Followed by a line naming the file and what is wrong, where: "track.json, line 42: ...".
inline constexpr char kNotSettingsFile[] = "Not a settings file this program can read.";
// %1: the path as given; %2: the system's reason.
inline constexpr char kNoSuchSettingsFile[] = "No such file: %1";
inline constexpr char kSettingsUnreadable[] = "Cannot read %1: %2";
inline constexpr char kSettingsEscChanged[] =
    "The ESC changed while the file was chosen: the settings file was not used.";

} // namespace corvane::text
