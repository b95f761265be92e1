#include "platform/forms.h"
#include "platform/web/js.h"

#include <emscripten/emscripten.h>
#include <exception>
#include <memory>

namespace platform {
namespace {

// Once the window answers, a page that a web server serves links its
// manifest, which lets the browser install it, and registers its service
// worker, which keeps the page's files for playing offline. Both wait for
// the page's load and then for a moment when the browser is idle, so that
// neither delays the window or the player's first click. A page opened
// from disk does neither: no worker runs there. (The body is JavaScript.)
// clang-format off
EM_JS(void, keepPage, (), {
    if (!location.protocol.startsWith("http")) {
        return;
    }
    const keep = () => (self.requestIdleCallback ?? setTimeout)(async () => {
        const manifest = document.createElement("link");
        manifest.rel = "manifest";
        manifest.href = "manifest.webmanifest";
        document.head.append(manifest);
        try {
            await navigator.serviceWorker.register("worker.js");
        } catch (error) {
            console.warn("The game cannot be kept for playing offline:", String(error));
        }
    });
    if (document.readyState === "complete") {
        keep();
    } else {
        addEventListener("load", keep, {once: true});
    }
});
// clang-format on

} // namespace

int Start(const Project& project) {
    // The page keeps the window for as long as it is open: the browser's own
    // event loop runs the game after the program's entry point returns.
    static std::unique_ptr<Form> startupForm;
    try {
        startupForm = project.createStartupForm();
        startupForm->Show();
        keepPage();
        return 0;
    } catch (const std::exception& error) {
        // The window could not be made: the page says so in its place.
        detail::Js::global("document")["body"].set(
            "textContent", std::string(project.name) + " could not start: " + error.what());
        return 1;
    }
}

} // namespace platform
