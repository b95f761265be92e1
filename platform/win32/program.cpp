#include "platform/win32/program.h"

#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <commctrl.h>
#include <exception>

namespace platform {
namespace layer {

void processMessage(MSG& message) {
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && GetClassLongPtrW(root, GCW_ATOM) == formClass() &&
        IsDialogMessageW(root, &message) != FALSE) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void processPendingMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        processMessage(message);
    }
}

} // namespace layer

int Start(const Project& project) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The accessibility services that mark live regions are COM objects;
    // without them the game still plays, and its events still go out.
    const layer::ComApartment com;
    try {
        const std::unique_ptr<Form> startupForm = project.createStartupForm();
        startupForm->Show();
        // The event loop, until the window is closed.
        startupForm->window().toolkit().endsProgram = true;
        MSG message{};
        BOOL status = 0;
        while ((status = GetMessageW(&message, nullptr, 0, 0)) > 0) {
            layer::processMessage(message);
        }
        return status == 0 ? static_cast<int>(message.wParam) : 1;
    } catch (const std::exception& error) {
        // The window could not be made: nothing else can be shown.
        MessageBoxW(nullptr, layer::widen(error.what()).c_str(), layer::widen(project.name).c_str(),
                    MB_OK | MB_ICONERROR);
        return 1;
    }
}

} // namespace platform
