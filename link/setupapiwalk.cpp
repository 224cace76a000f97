#include "link/setupapiwalk.h"

#include "link/usbinstanceid.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

// initguid.h first: with it, devpkey.h defines the property keys instead of only declaring them.
#include <initguid.h>

#include <devpkey.h>

#include <cwchar>
#include <iterator>
#include <string_view>

namespace {

// Looked up at run time: older Setup API versions do not export it.
using GetDevicePropertyW = BOOL(WINAPI *)(HDEVINFO, PSP_DEVINFO_DATA, const DEVPROPKEY *,
                                          DEVPROPTYPE *, PBYTE, DWORD, PDWORD, DWORD);

constexpr ULONG instanceIdChars = 260;
constexpr DWORD descriptionBytes = 2048;

template <typename To, typename From> To convertUnits(const From &text) {
    return To(text.begin(), text.end());
}

} // namespace

BrandDeviceTable setupApiBrandDevices(const std::u16string &enumerator,
                                      const std::u16string &brandPrefix) {
    BrandDeviceTable table;
    const HMODULE setupApi = GetModuleHandleW(L"Setupapi.dll");
    if (!setupApi)
        return table;
    const auto getDeviceProperty = reinterpret_cast<GetDevicePropertyW>(
        reinterpret_cast<void *>(GetProcAddress(setupApi, "SetupDiGetDevicePropertyW")));
    if (!getDeviceProperty)
        return table;

    const std::wstring enumeratorName = convertUnits<std::wstring>(enumerator);
    const HDEVINFO devices = SetupDiGetClassDevsW(nullptr, enumeratorName.c_str(), nullptr,
                                                  DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (devices == INVALID_HANDLE_VALUE)
        return table;

    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        WCHAR instanceId[instanceIdChars] = {};
        if (CM_Get_Device_IDW(device.DevInst, instanceId, instanceIdChars, 0) != CR_SUCCESS)
            continue;

        WCHAR description[descriptionBytes / sizeof(WCHAR)] = {};
        DEVPROPTYPE type = 0;
        if (!getDeviceProperty(devices, &device, &DEVPKEY_Device_BusReportedDeviceDesc, &type,
                               reinterpret_cast<PBYTE>(description), descriptionBytes, nullptr, 0))
            continue;

        // The property is NUL-terminated; bound the length anyway in case it fills the buffer.
        const std::wstring_view text(description, wcsnlen(description, std::size(description)));
        const std::u16string name = convertUnits<std::u16string>(text);
        if (name.compare(0, brandPrefix.size(), brandPrefix) != 0)
            continue;

        const std::wstring_view id(instanceId, wcsnlen(instanceId, instanceIdChars));
        const UsbInstanceId ids = parseUsbInstanceId(convertUnits<std::u16string>(id));
        table.emplace(std::make_pair(ids.productId, ids.vendorId), name);
    }
    SetupDiDestroyDeviceInfoList(devices);
    return table;
}
