#pragma once

// What a platform layer supplies, all of it: the toolkit's objects and the
// functions that platform/qt/, platform/win32/ and platform/web/ each define,
// with Start (forms.h) and the test driver's members (testing.h). The core
// calls them and holds everything else that is the same on every platform
// (form_window.h). Only the platform layer and the core include this.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {
class FormWindow;
struct ControlRecord;
struct Announcement;
struct CaptionBox;
} // namespace platform::detail

namespace platform::layer {

using detail::ControlRecord;
using detail::FormWindow;

// The toolkit's own objects: a form's window and the object of one control.
// The core owns them and ends them by deleting them; each layer's type does
// what its toolkit needs as it goes, and instantiates Ender for itself.
struct Window;
struct Control;
template <class Object> struct Ender { void operator()(Object* object) const noexcept; };
template <class Object> void Ender<Object>::operator()(Object* object) const noexcept {
    delete object;
}
extern template struct Ender<Window>;
extern template struct Ender<Control>;
template <class Object> using Owned = std::unique_ptr<Object, Ender<Object>>;

// ---- The window and its controls

// The window of `form`, with its caption, its icon and a client area of its
// size in twips; not shown yet. It keeps `form`, which outlives it.
Owned<Window> MakeWindow(FormWindow& form);

// The object of `control`, of the record's kind, at its twips rectangle on
// `window`, with its caption. A button's click runs form.click(control).
Owned<Control> MakeControl(Window& window, ControlRecord& control);

// Whether the toolkit still has the control: once it is gone, every
// operation on it fails.
bool Exists(const Control& control);

// Puts the controls in `order`, the tab order with each label just before
// the control it names (FormWindow::namedBy): keyboard navigation follows it,
// and assistive technology finds each control's name there.
void Arrange(Window& window, const std::vector<ControlRecord*>& order);

// Whether the window is shown with its font fitted. A window that the page
// held already is shown as it stands, and the layer has it fitted
// (FormWindow::fitFont) once the program has answered the player.
bool FitsAsShown(const Window& window);

// Shows the window with the keyboard focus on `focus` (none if null, or if
// the toolkit no longer has it).
void Show(Window& window, const ControlRecord* focus);

// Shows the player the report of a run-time error, modal to the window.
void ShowReport(Window& window, const std::string& report);

// Has assistive technology say what a click did, at once and wherever the
// focus is.
void Announce(Window& window, const detail::Announcement& said);

// ---- The controls' text and the output area

// A field's text, and writing it; showing that an output area was cleared,
// before the core empties `area.printed`, and what was added at its end
// (line ends as '\n'). The core has checked that the control exists; a
// failure of the toolkit's own is raised through RaiseControlError with the
// control's name and `operation`.
std::string ReadText(const ControlRecord& field, std::string_view operation);
void WriteText(const ControlRecord& field, std::string_view operation, std::string_view text);
void ShowCleared(const ControlRecord& area, std::string_view operation);
void ShowPrinted(const ControlRecord& area, std::string_view added);

// ---- Text measuring, for the font fit (caption_fit.h)

// How many of the window's own pixels make an inch: 96 where the toolkit
// scales them to the screen itself, the DPI where the window is laid out in
// the screen's own. Every size below is in those pixels.
int PixelsPerInch(const Window& window);

// The size of the desktop's (or the page's) font: the largest the fit tries.
int DesktopFontSize(const Window& window);

// Text in the window's font at `size` pixels, measured by the toolkit.
class TextMetrics {
public:
    TextMetrics(const Window& window, int size);
    ~TextMetrics();
    TextMetrics(const TextMetrics&) = delete;
    TextMetrics& operator=(const TextMetrics&) = delete;
    TextMetrics(TextMetrics&&) = delete;
    TextMetrics& operator=(TextMetrics&&) = delete;

    [[nodiscard]] int lineWidth(std::string_view text) const;
    [[nodiscard]] int lineHeight() const;
    // The height of `text` wrapped at blanks to `width`.
    [[nodiscard]] int wrappedHeight(std::string_view text, int width) const;

private:
    struct Font;
    std::unique_ptr<Font> font_;
};

// Where a control shows its caption; nullopt once the control is gone.
std::optional<detail::CaptionBox> CaptionBoxOf(const Window& window, const ControlRecord& control);

// Gives every control of the window the font at `size` pixels.
void UseFontSize(Window& window, int size);

// ---- The clock

// Milliseconds since local midnight on the system's real-time clock, from 0
// to 86,399,999.
int SystemMilliseconds();

// ---- Numbers, where the C++ library cannot convert doubles

// The double nearest to the decimal number `text`; infinity past the
// largest.
double ReadDecimal(std::string_view text);
// The shortest digits of `magnitude`, finite and above zero, that read back
// as the same double, and the decimal exponent of the first: "15" and 4 for
// 15000.
std::string ShortestDigits(double magnitude, int& exponent);

} // namespace platform::layer
