#include "platform/qt/window.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>

namespace platform {
namespace {

std::string shownName; // the program's name, as its messages begin

void sayCannotShow(const std::string& why) {
    std::fprintf(stderr, "%s: cannot show its window: %s\n", shownName.c_str(), why.c_str());
}

// While the toolkit connects to the display, what it says is held back. If
// it cannot connect, its fatal message would abort the program after lines
// meant for its own developers: the player is told in one line instead, and
// the program ends with a failure status. Once it is connected, what was
// held back is said as usual.
class HeldMessages {
public:
    HeldMessages()
        : previous_(qInstallMessageHandler(hold)) {}
    ~HeldMessages() {
        qInstallMessageHandler(previous_);
        for (const auto& [type, text] : held) {
            qt_message_output(type, QMessageLogContext(), text);
        }
        held.clear();
    }
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;
    HeldMessages(HeldMessages&&) = delete;
    HeldMessages& operator=(HeldMessages&&) = delete;

private:
    static void hold(QtMsgType type, const QMessageLogContext& /*context*/, const QString& text) {
        if (type != QtFatalMsg) {
            held.emplace_back(type, text);
            return;
        }
        const QString display = qEnvironmentVariable(
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "DISPLAY" : "WAYLAND_DISPLAY");
        sayCannotShow(display.isEmpty()
                          ? "no display can be opened"
                          : "the display " + display.toStdString() + " cannot be opened");
        std::_Exit(EXIT_FAILURE);
    }

    static inline std::vector<std::pair<QtMsgType, QString>> held;
    QtMessageHandler previous_;
};

} // namespace

int Start(const Project& project) {
    // The program takes nothing from its command line; the toolkit is given
    // the program's name alone.
    int argc = 1;
    std::string programName(project.program);
    char* argv[] = {programName.data(), nullptr};
    shownName = programName;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        sayCannotShow("no display is set (neither DISPLAY nor WAYLAND_DISPLAY)");
        return EXIT_FAILURE;
    }
    auto connecting = std::make_optional<HeldMessages>();
    QApplication application(argc, argv);
    connecting.reset();
    QApplication::setApplicationName(layer::toQString(project.program));
    QApplication::setApplicationVersion(layer::toQString(project.version));
    QGuiApplication::setDesktopFileName(layer::toQString(project.id));
    const std::unique_ptr<Form> startupForm = project.createStartupForm();
    QApplication::setWindowIcon(startupForm->window().toolkit().windowIcon());
    startupForm->Show();
    return QApplication::exec();
}

} // namespace platform
