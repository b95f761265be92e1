#include "platform/web/js.h"

#include <emscripten/emscripten.h>

namespace platform::detail {
namespace {

// The bodies of these are JavaScript, over the table of objects.js.
// clang-format off
EM_JS(void, jsRelease, (int place), {
    rzValues[place] = undefined;
    rzFreePlaces.push(place);
});
EM_JS(int, jsDuplicate, (int place), { return rzHold(rzValues[place]); });
EM_JS(int, jsGlobalNamed, (const char* name), { return rzHold(globalThis[UTF8ToString(name)]); });
EM_JS(int, jsHoldText, (const char* text, std::size_t size), {
    return rzHold(UTF8ToString(text, size));
});
EM_JS(int, jsHoldNumber, (double value), { return rzHold(value); });
EM_JS(int, jsHoldBoolean, (bool value), { return rzHold(!!value); });
EM_JS(int, jsHoldElement, (const char* tag), {
    return rzHold(document.createElement(UTF8ToString(tag)));
});
EM_JS(int, jsProperty, (int place, const char* name), {
    return rzHold(rzValues[place][UTF8ToString(name)]);
});
EM_JS(void, jsSetProperty, (int place, const char* name, int value), {
    rzValues[place][UTF8ToString(name)] = rzValues[value];
});
EM_JS(int, jsInvokeWith, (int place, const char* name, const int* places, std::size_t count), {
    const values = Array.from(HEAP32.subarray(places >> 2, (places >> 2) + count),
                              argument => rzValues[argument]);
    const target = rzValues[place];
    return rzHold(name !== 0 ? target[UTF8ToString(name)](...values) : target(...values));
});
EM_JS(std::size_t, jsTextSize, (int place), {
    rzText = String(rzValues[place]);
    return lengthBytesUTF8(rzText);
});
EM_JS(void, jsCopyText, (char* into, std::size_t size), {
    stringToUTF8(rzText, into, size + 1);
});
EM_JS(double, jsNumberOf, (int place), { return Number(rzValues[place]); });
EM_JS(bool, jsTruthyAt, (int place), { return !!rzValues[place]; });
EM_JS(bool, jsIdentical, (int one, int other), { return rzValues[one] === rzValues[other]; });
// clang-format on

// Null, at place 0, is never held: letting go of it or copying it needs no
// step into the page.
void release(int place) {
    if (place != 0) {
        jsRelease(place);
    }
}
int duplicate(int place) {
    return place != 0 ? jsDuplicate(place) : 0;
}

} // namespace

static_assert(sizeof(Js) == sizeof(int), "an array of Js is an array of places");

Js::Js(const Js& other) noexcept
    : handle_(duplicate(other.handle_)) {}

Js& Js::operator=(const Js& other) noexcept {
    if (this != &other) {
        release(handle_);
        handle_ = duplicate(other.handle_);
    }
    return *this;
}

Js& Js::operator=(Js&& other) noexcept {
    if (this != &other) {
        release(handle_);
        handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
}

Js::~Js() {
    release(handle_);
}

Js Js::global(const char* name) noexcept {
    return Js(jsGlobalNamed(name));
}

Js Js::text(std::string_view text) noexcept {
    return Js(jsHoldText(text.data(), text.size()));
}

Js Js::number(double value) noexcept {
    return Js(jsHoldNumber(value));
}

Js Js::boolean(bool value) noexcept {
    return Js(jsHoldBoolean(value));
}

Js Js::element(const char* tag) noexcept {
    return Js(jsHoldElement(tag));
}

Js Js::operator[](const char* name) const noexcept {
    return Js(jsProperty(handle_, name));
}

void Js::set(const char* name, const Js& value) const noexcept {
    jsSetProperty(handle_, name, value.handle_);
}

Js Js::invoke(const char* name, const Js* arguments, std::size_t count) const noexcept {
    return Js(jsInvokeWith(handle_, name, &arguments->handle_, count));
}

std::string Js::string() const {
    std::string copy(jsTextSize(handle_), '\0');
    jsCopyText(copy.data(), copy.size());
    return copy;
}

double Js::number() const noexcept {
    return jsNumberOf(handle_);
}

bool Js::truthy() const noexcept {
    return jsTruthyAt(handle_);
}

bool Js::isNull() const noexcept {
    return handle_ == 0;
}

bool Js::operator==(const Js& other) const noexcept {
    return jsIdentical(handle_, other.handle_);
}

} // namespace platform::detail
