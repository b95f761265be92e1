#pragma once

// What a platform layer supplies, all of it: the toolkit's objects and the
// functions that platform/qt/, platform/win32/ and platform/web/ each define,
// and that the core calls. The core holds everything else that is the same
// on every platform: the controls and their orders, the labels' pairing, what
// stands printed, the announcements, the font fit's rules, the click
// dispatch and the test driver's lookups (form_window.h, testing.h).
// Only the platform layer and the core include this.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Project;

// Sets up the toolkit, makes and shows the start-up form of `project` and
// runs the event loop until the player closes its window; returns the
// program's exit status. A page's event loop is the browser's, and this
// returns once the window is up. (Declared in forms.h too, for main.)
int Start(const Project& project);

namespace detail {
class FormWindow;
struct ControlRecord;
struct Announcement;
struct CaptionBox;
} // namespace detail

namespace testing {
enum class Key;
struct Rect;
struct Report;
struct CaptionExtent;
} // namespace testing

} // namespace platform

namespace platform::layer {

using detail::ControlRecord;
using detail::FormWindow;

// The toolkit's own objects, which each layer defines: a form's window, the
// object of one control, the toolkit set up for a test program, and what the
// test driver holds while it works a window. The core owns them and ends
// them through Ender.
struct Window;
struct Control;
struct Session;
struct Driving;
struct Ender {
    void operator()(Window* window) const noexcept;
    void operator()(Control* control) const noexcept;
    void operator()(Session* session) const noexcept;
    void operator()(Driving* driving) const noexcept;
};
template <class Object> using Owned = std::unique_ptr<Object, Ender>;

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

// Shows the window with its font fitted (FormWindow::fitFont) and the
// keyboard focus on `focus` (none if null, or if the toolkit no longer has
// it). A window that the page held already is shown as it stands, and
// fitted once the program answers the player.
void Show(Window& window, const ControlRecord* focus);

// Shows the player the report of a run-time error, modal to the window.
void ShowReport(Window& window, const std::string& report);

// Has assistive technology say what a click did, at once and wherever the
// focus is.
void Announce(Window& window, const detail::Announcement& said);

// ---- The controls' text and the output area

// A field's text, and writing it. The core has checked that the field
// exists; a failure of the toolkit's own is raised through
// RaiseControlError with the control's name and `operation`.
std::string ReadText(const ControlRecord& field, std::string_view operation);
void WriteText(const ControlRecord& field, std::string_view operation, std::string_view text);

// The output area shows what stands printed, which the core keeps in
// `area.printed` (line ends as '\n'). ShowCleared comes before the core
// empties it; ShowPrinted after the core has added `added` at its end.
void ShowCleared(const ControlRecord& area);
void ShowPrinted(const ControlRecord& area, std::string_view added);

// ---- Text measuring, for the font fit (caption_fit.h)

// The font sizes the fit tries, in the window's pixels: from the desktop's
// (or the page's) down to the smallest readable one, with a button's margin
// around its caption.
struct FontSizes {
    int largest = 0;
    int smallest = 0;
    int buttonMargin = 0;
};
FontSizes FontSizesOf(const Window& window);

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

// Where a control shows its caption, in the window's pixels; nullopt once
// the control is gone.
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

// ---- The test driver (testing.h), which works a window as a player does

// The toolkit set up for a test program from its command line.
Owned<Session> OpenSession(int& argc, char** argv);

// Starts working `window`: from now on each error report is closed as soon
// as it comes up and kept, and what the window announces is heard.
Owned<Driving> StartDriving(Window& window);
// Waits until the window, shown, is on screen and takes input.
void WaitUntilShown(Driving& driving);

// The toolkit's own input: a left click on a button, a key on the control
// with the focus, and text put into a field in place of its own.
void Click(Driving& driving, const ControlRecord& button);
void Press(Driving& driving, testing::Key key);
void PutText(Driving& driving, const ControlRecord& field, std::string_view text);

// What the toolkit shows: a control's text (an output area's lines joined
// by '\n'), the window's caption, whether it is shown, its DPI, and places
// in its own pixels, physical at its DPI.
std::string ShownText(Driving& driving, const ControlRecord& control);
std::string ShownCaption(Driving& driving);
bool IsShown(Driving& driving);
int Dpi(Driving& driving);
testing::Rect ClientArea(Driving& driving);
testing::Rect Geometry(Driving& driving, const ControlRecord& control);
// A control's caption measured in its own font, with its client area.
testing::CaptionExtent MeasureCaption(Driving& driving, const ControlRecord& control);
const ControlRecord* FocusedControl(Driving& driving);
bool TakesFocus(Driving& driving, const ControlRecord& control);
std::vector<int> IconSizes(Driving& driving);
std::string ClipboardText(Driving& driving);
// What assistive technology finds of a control through the platform's own
// accessibility interface (line ends as '\n').
std::string AccessibleName(Driving& driving, const ControlRecord& control);
std::string AccessibleText(Driving& driving, const ControlRecord& control);

// Hides the window, shows it again and waits until it is repainted.
void Repaint(Driving& driving);
// Destroys a control's toolkit object behind the core's back.
void Destroy(Driving& driving, const ControlRecord& control);
// The error reports closed, and what was announced, since the last call.
std::vector<testing::Report> TakeReports(Driving& driving);
std::vector<std::string> TakeAnnouncements(Driving& driving);

// How many objects the toolkit holds for the program's windows: what a
// window made and destroyed must leave as it found.
std::size_t ToolkitObjects();

} // namespace platform::layer
