#pragma once

// The event loop on the Win32 layer, which the program and the tests' driver
// both run. Only the Win32 layer and its users in tests and benchmarks
// include this.

#include <windows.h>

namespace platform::layer {

// Hands one message of the event loop on: the keyboard navigation of a
// form's controls (Tab, Shift+Tab) takes what it handles, the window
// procedure the rest.
void processMessage(MSG& message);
// Runs the event loop until nothing is left to do: the window procedures
// have seen every message already queued, input included.
void processPendingMessages();

} // namespace platform::layer
