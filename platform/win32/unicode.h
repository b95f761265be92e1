#pragma once

// Text between the game and the system: conversions between the game's
// UTF-8 and the system's UTF-16, and a window's text. Only the platform
// layer and tests include this.

#include <climits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <windows.h>

namespace platform::layer {

// Malformed UTF-8 comes out as U+FFFD; the game only hands in valid text.
inline std::wstring widen(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > INT_MAX) {
        throw std::length_error("text too long for the system");
    }
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), size);
    return wide;
}

// An unpaired surrogate comes out as U+FFFD.
inline std::string narrow(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > INT_MAX) {
        throw std::length_error("text too long for the game");
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrowed(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrowed.data(), size, nullptr, nullptr);
    return narrowed;
}

// The text of a window or control; empty if it has none or is gone.
inline std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace platform::layer
