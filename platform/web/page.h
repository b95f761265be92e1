#pragma once

// The page as the program reaches it: the imports of page.js, every one of
// them, and the program's hold on the page's values. The page keeps each
// value the program holds in a table, and the program names it by its place
// there. Only the web layer includes this.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace platform::layer {

// A value of the page that the program holds: let go of when it goes.
class Js {
public:
    Js() = default; // null
    explicit Js(int place)
        : place_(place) {}
    Js(const Js&) = delete;
    Js& operator=(const Js&) = delete;
    Js(Js&& other) noexcept
        : place_(std::exchange(other.place_, 0)) {}
    Js& operator=(Js&& other) noexcept;
    ~Js();

    static Js text(std::string_view text) noexcept;

    // Its place in the page's table, to hand to an import.
    [[nodiscard]] int place() const { return place_; }
    // Gives the value to the page, which lets go of it.
    [[nodiscard]] int release() { return std::exchange(place_, 0); }
    // The value as String() makes it a text.
    [[nodiscard]] std::string string() const;

private:
    int place_ = 0;
};

} // namespace platform::layer

// The imports, each defined in page.js, where each says what it does.
extern "C" {
void rz_release(int place);
std::size_t rz_text_size(int place);
void rz_copy_text(char* into);
int rz_hold_text(const char* text, std::size_t size);

int rz_open_window(const char* frame, const char* client, const char* html, const char* style,
                   const char* caption, const char* icon, const char* sizes);
bool rz_page_holds(const char* frame);
void rz_close_window(int client);
void rz_arrange(int client, const int* elements, std::size_t count);
void rz_focus(int element, int within);
void rz_fit_after_paint(int client, void* form);
void rz_report(int client, const char* text);
void rz_announce(int client, const char* text);

int rz_adopt_control(int client, void* form, void* control, const char* name);
int rz_add_control(int client, void* form, void* control, const char* html, const char* style);
bool rz_connected(int element);
int rz_value(int element);
void rz_set_value(int element, const char* text, std::size_t size);
void rz_clear_text(int element);
void rz_add_text(int element, const char* text, std::size_t size);

int rz_font_at(int client, int size);
double rz_font_size(int client);
void rz_set_font_size(int client, int size);
double rz_text_width(int font, const char* text, std::size_t size);
void rz_inner_box(int element, int width, int height, int* box);

int rz_local_milliseconds();
double rz_decimal_value(const char* text, std::size_t size);
int rz_shortest_decimal(double magnitude, char* digits);

void rz_keep_page();
void rz_say(const char* text);
}
