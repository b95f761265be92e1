#include "platform/forms.h"
#include "platform/qt/window.h"
#include "platform/toolkit.h"

#include <QApplication>

namespace platform {

int Start(const Project& project) {
    // The program takes nothing from its command line; the toolkit is given
    // the program's name alone.
    int argc = 1;
    std::string programName(project.program);
    char* argv[] = {programName.data(), nullptr};
    QApplication application(argc, argv);
    QApplication::setApplicationName(detail::toQString(project.program));
    QApplication::setApplicationVersion(detail::toQString(project.version));
    QGuiApplication::setDesktopFileName(detail::toQString(project.id));
    const std::unique_ptr<Form> startupForm = project.createStartupForm();
    QApplication::setWindowIcon(detail::windowOf(*startupForm).windowIcon());
    startupForm->Show();
    return QApplication::exec();
}

} // namespace platform
