// Where Qt keeps the window's settings on Windows: the registry, under the
// organisation and the application (HKCU\Software\Taviro\Zel5100Util), the
// section a key of its own, the entry a string value.
#include <windows.h>

#include "remembered_port.h"
#include "windows_text_win32.h"

namespace {

const wchar_t kSectionKey[] = L"Software\\Taviro\\Zel5100Util\\Zel5100Util";

}  // namespace

std::string WindowSettingsPath() {
    return "HKEY_CURRENT_USER\\Software\\Taviro\\Zel5100Util";
}

std::string RememberedComPort() {
    wchar_t value[512] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kSectionKey, L"ComPort", RRF_RT_REG_SZ, &type, value, &bytes) !=
        ERROR_SUCCESS)
        return "";
    std::string port = Utf8FromWide(value);
    while (!port.empty() && (port.back() == ' ' || port.back() == '\t'))
        port.pop_back();
    while (!port.empty() && (port.front() == ' ' || port.front() == '\t'))
        port.erase(port.begin());
    return port;
}
