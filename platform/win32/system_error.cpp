#include "platform/win32/system_error.h"

#include "platform/win32/unicode.h"

#include <stdexcept>
#include <windows.h>

namespace platform::layer {

std::string lastErrorText() {
    const DWORD code = GetLastError();
    wchar_t buffer[512] = {};
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    while (length > 0 && (buffer[length - 1] == L'\n' || buffer[length - 1] == L'\r' ||
                          buffer[length - 1] == L' ')) {
        --length;
    }
    std::string text = "system error " + std::to_string(code);
    if (length > 0) {
        text += " (" + narrow(std::wstring_view(buffer, length)) + ")";
    }
    return text;
}

void raiseSystemError(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + lastErrorText());
}

} // namespace platform::layer
