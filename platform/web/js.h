#pragma once

// A JavaScript value of the page, held by the program: the layer's way to
// the document and its elements. The page keeps each value the program holds
// in a table (objects.js) and the program names it by its place there, so
// nothing is evaluated from text and the page runs under a content security
// policy that forbids it. Only the web layer includes this.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace platform::detail {

class Js {
public:
    Js() = default; // null
    Js(const Js& other) noexcept;
    Js& operator=(const Js& other) noexcept;
    Js(Js&& other) noexcept
        : handle_(std::exchange(other.handle_, 0)) {}
    Js& operator=(Js&& other) noexcept;
    ~Js();

    // The global object of that name: document, window, Date, ...
    static Js global(const char* name) noexcept;
    static Js text(std::string_view text) noexcept;
    static Js number(double value) noexcept;
    static Js boolean(bool value) noexcept;
    // A new element of the document: createElement(tag).
    static Js element(const char* tag) noexcept;

    // The property `name`, and setting it.
    [[nodiscard]] Js operator[](const char* name) const noexcept;
    void set(const char* name, const Js& value) const noexcept;
    void set(const char* name, std::string_view value) const noexcept { set(name, text(value)); }

    // Calls the method `name` with `arguments`; each is a Js, a text or a
    // number.
    template <typename... Arguments>
    Js call(const char* name, const Arguments&... arguments) const noexcept {
        const Js values[] = {Js(), from(arguments)...};
        return invoke(name, values + 1, sizeof...(arguments));
    }
    // Calls the value itself, a function, with `arguments`.
    template <typename... Arguments> Js operator()(const Arguments&... arguments) const noexcept {
        const Js values[] = {Js(), from(arguments)...};
        return invoke(nullptr, values + 1, sizeof...(arguments));
    }

    // The value as String() makes it a text, as Number() a number, as a
    // condition takes it.
    [[nodiscard]] std::string string() const;
    [[nodiscard]] double number() const noexcept;
    [[nodiscard]] int integer() const noexcept { return static_cast<int>(number()); }
    [[nodiscard]] bool truthy() const noexcept;
    [[nodiscard]] bool isNull() const noexcept;                    // null or undefined
    [[nodiscard]] bool operator==(const Js& other) const noexcept; // ===

    // Its place in the page's table, for the layer's own JavaScript, and
    // the value that JavaScript put at `place` (rzHold), now held here.
    [[nodiscard]] int handle() const { return handle_; }
    static Js held(int place) { return Js(place); }

private:
    explicit Js(int handle)
        : handle_(handle) {}
    static Js from(const Js& value) noexcept { return value; }
    static Js from(std::string_view value) noexcept { return text(value); }
    static Js from(const char* value) noexcept { return text(value); }
    static Js from(const std::string& value) noexcept { return text(value); }
    static Js from(double value) noexcept { return number(value); }
    static Js from(int value) noexcept { return number(value); }
    Js invoke(const char* name, const Js* arguments, std::size_t count) const noexcept;

    int handle_ = 0;
};

} // namespace platform::detail
