// Start-up of the game's window on the Win32 layer against a bare window
// with the same eight controls made straight on the API, each up to its
// first painted frame, in turn in one loop so that a change in the machine's
// speed weighs on both alike. Prints the median of each and their ratio.
// Usage: rolling-zemb-startup-bench [ROUNDS]

#include "game/form1.h"
#include "platform/win32/program.h"

#include <algorithm>
#include <chrono>
#include <commctrl.h>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

namespace {

// Runs the event loop until every window has painted what it has to.
void paintAll() {
    platform::layer::processPendingMessages();
}

void startUpGame() {
    game::Form1 form;
    form.Show();
    paintAll();
}

// The same window with no layer between: the system's message font, the
// controls at their pixel rectangles, the focus on the field.
void startUpBareWindow() {
    static const ATOM windowClass = [] {
        WNDCLASSEXW description{};
        description.cbSize = sizeof(description);
        description.lpfnWndProc = DefWindowProcW;
        description.hInstance = GetModuleHandleW(nullptr);
        description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        description.lpszClassName = L"BareWindow";
        return RegisterClassExW(&description);
    }();
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, 340, 241};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window =
        CreateWindowExW(0, MAKEINTATOM(windowClass), L"Rolling a zemb (1-6)", style, CW_USEDEFAULT,
                        CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    const struct {
        const wchar_t* className;
        const wchar_t* text;
        DWORD style;
        DWORD extendedStyle;
        RECT bounds; // left, top, width, height
    } controls[] = {
        {WC_EDITW, L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, {120, 16, 97, 33}},
        {WC_EDITW,
         L"",
         WS_TABSTOP | ES_MULTILINE | ES_READONLY,
         WS_EX_CLIENTEDGE,
         {24, 136, 289, 89}},
        {WC_BUTTONW, L" (1,2,3)", WS_TABSTOP, 0, {96, 64, 65, 33}},
        {WC_STATICW, L"Display", SS_LEFT, 0, {144, 112, 41, 25}},
        {WC_STATICW, L"initial balance", SS_LEFT, 0, {24, 24, 73, 33}},
        {WC_BUTTONW, L"Start", WS_TABSTOP, 0, {16, 64, 65, 33}},
        {WC_BUTTONW, L" (4,5,6)", WS_TABSTOP, 0, {176, 64, 65, 33}},
        {WC_BUTTONW, L"quit", WS_TABSTOP, 0, {256, 64, 65, 33}},
    };
    HWND field = nullptr;
    for (const auto& control : controls) {
        HWND made = CreateWindowExW(control.extendedStyle, control.className, control.text,
                                    WS_CHILD | WS_VISIBLE | control.style, control.bounds.left,
                                    control.bounds.top, control.bounds.right, control.bounds.bottom,
                                    window, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        field = field == nullptr ? made : field;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetFocus(field);
    paintAll();
    DestroyWindow(window);
    DeleteObject(font);
}

double median(std::vector<double> times) {
    const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
    std::nth_element(times.begin(), middle, times.end());
    return *middle;
}

} // namespace

int main(int argc, char** argv) {
    const INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    const int rounds = argc > 1 ? std::stoi(argv[1]) : 200;
    const auto time = [](void (*startUp)()) {
        const auto start = std::chrono::steady_clock::now();
        startUp();
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count();
    };
    // A first round of each, untimed, loads what both need once.
    startUpGame();
    startUpBareWindow();
    std::vector<double> game;
    std::vector<double> bare;
    for (int round = 0; round < rounds; ++round) {
        game.push_back(time(startUpGame));
        bare.push_back(time(startUpBareWindow));
    }
    const double gameMedian = median(game);
    const double bareMedian = median(bare);
    std::printf("start-up to the first painted frame, medians of %d rounds:\n"
                "  game window %.0f us\n  bare window %.0f us\n  ratio %.2f\n",
                rounds, gameMedian, bareMedian, gameMedian / bareMedian);
    return 0;
}
