#pragma once

// What assistive technology finds of the layer's own widgets. Only the
// platform layer includes this.

namespace platform::detail {

// Makes the toolkit describe the forms and the output areas to assistive
// technology: a form as a window, an output area as read-only text that
// can be read and followed. Once per process; later calls do nothing.
void installAccessibleInterfaces();

} // namespace platform::detail
