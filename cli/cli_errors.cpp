#include "cli_errors.h"

void ThrowUsage(const std::string& message) {
    throw CliError(EXIT_USAGE, message);
}

void ThrowDeviceFailure(const std::string& action, ZelResult result) {
    throw CliError(EXIT_DEVICE_FAILED, DeviceFailureText(action, result), CliResultName(result));
}

std::string DeviceFailureText(const std::string& action, ZelResult result) {
    std::string text = action + " failed: " + CliResultName(result);
    const std::string reason = ResultReason(result);
    if (!reason.empty()) text += " (" + reason + ")";
    return text;
}

std::string CliError::Result() const {
    if (!result_.empty()) return result_;
    switch (exitCode_) {
        case EXIT_USAGE: return "usage-error";
        case EXIT_FIRMWARE_REFUSED: return "firmware-refused";
        default: return "device-failed";
    }
}

std::string CliResultName(ZelResult result) {
    // The protocol's name table has no entry for the busy reply.
    if (result == ZEL_E_B_REPLY) return "ZEL_E_B_REPLY";
    return ZelResultName(result);
}

std::string ResultReason(ZelResult result) {
    switch (result) {
        case ZEL_E_ERROR_REPLY: return "the device refused the request or the value";
        case ZEL_E_B_REPLY: return "the device answered that it is busy";
        case ZEL_E_INCOMPLETE_MSG: return "the replies arrived incomplete";
        case ZEL_E_INCORRECT_CHECKSUM: return "the replies arrived damaged";
        case ZEL_E_INCORRECT_REPLY: return "the replies named another setting";
        case ZEL_E_INVALID_PARAMETER: return "the setting cannot be accessed this way";
        case ZEL_E_INVALID_MODE: return "the device is not ready to take firmware";
        case ZEL_E_NOT_SUPPORTED: return "this device type cannot be upgraded";
        case ZEL_E_RX_FAILED:
            return "no reply after 3 attempts: is the device powered and connected to this port?";
        case ZEL_E_TX_FAILED: return "the port did not take the request";
        case ZEL_E_TIME_OUT: return "the device took too long";
        case ZEL_E_UPG_FAILED: return "the device reported an error while programming";
        case ZEL_E_UPG_FILE_ERROR: return "the firmware file could not be read";
        case ZEL_E_UPG_VERIFY_FAILED: return "the device could not verify the image";
        case ZEL_GOT_LESS_DATA:
        case ZEL_GOT_MORE_DATA:
        case ZEL_GOT_NO_DATA: return "the reply carried the wrong number of value bytes";
        default: return "";
    }
}

bool SettingRefused(ZelResult result) {
    return result == ZEL_E_ERROR_REPLY || result == ZEL_E_B_REPLY || result == ZEL_GOT_LESS_DATA ||
           result == ZEL_GOT_MORE_DATA || result == ZEL_GOT_NO_DATA;
}
