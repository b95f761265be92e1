#include "platform/forms.h"
#include "platform/toolkit.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <commctrl.h>
#include <exception>
#include <windows.h>

namespace platform {
namespace detail {

void ShowReport(Window& window, const std::string& report) {
    MessageBoxW(window.handle(), widen(report).c_str(), windowText(window.handle()).c_str(),
                MB_OK | MB_ICONERROR);
}

int Window::runUntilClosed() {
    endsProgram_ = true;
    MSG message{};
    BOOL status = 0;
    while ((status = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        processMessage(message);
    }
    return status == 0 ? static_cast<int>(message.wParam) : 1;
}

void processMessage(MSG& message) {
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && GetClassLongPtrW(root, GCW_ATOM) == formClass() &&
        IsDialogMessageW(root, &message) != FALSE) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

} // namespace detail

int Start(const Project& project) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        const std::unique_ptr<Form> startupForm = project.createStartupForm();
        startupForm->Show();
        return startupForm->window().runUntilClosed();
    } catch (const std::exception& error) {
        // The window could not be made: nothing else can be shown.
        MessageBoxW(nullptr, detail::widen(error.what()).c_str(),
                    detail::widen(project.name).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
}

} // namespace platform
