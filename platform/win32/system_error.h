#pragma once

// The system's errors, as the Win32 layer reports them. Only the Win32
// layer includes this.

#include <string>

namespace platform::layer {

// The system's description of its last error, for a report.
std::string lastErrorText();
// Raises what failed, with that description.
[[noreturn]] void raiseSystemError(const char* what);

} // namespace platform::layer
