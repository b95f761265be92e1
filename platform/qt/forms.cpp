#include "platform/forms.h"

#include "platform/caption_fit.h"
#include "platform/qt/accessibility.h"
#include "platform/qt/output_area.h"
#include "platform/qt/window.h"

#include <algorithm>
#include <exception>
#include <map>
#include <utility>
#include <vector>

#include <QApplication>
#include <QBuffer>
#include <QFontInfo>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace platform {
namespace detail {
namespace {

// A push button that also answers Return and Enter while it has the focus, as
// players of desktop games expect; Space works as for every button.
class Button final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (!event->isAutoRepeat()) {
                click();
            }
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Whether the caption of `widget`, if it has one, shows whole at `font`: a
// button's on one line inside its frame, a label's wrapped at blanks with no
// word cut.
bool captionFits(const QWidget& widget, const QFont& font) {
    const QFontMetrics metrics(font);
    if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
        const CaptionSize caption{metrics.horizontalAdvance(button->text()), metrics.height(), 0,
                                  0};
        return ButtonCaptionFits(caption, button->width(), button->height(), ButtonCaptionMargin);
    }
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        const QRect area = label->contentsRect();
        CaptionSize caption;
        for (const QString& word : label->text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            caption.widestWord = std::max(caption.widestWord, metrics.horizontalAdvance(word));
        }
        const QRect wrapped =
            metrics.boundingRect(area, int(label->alignment()) | Qt::TextWordWrap, label->text());
        caption.wrappedHeight = wrapped.bottom() - area.top() + 1;
        return LabelCaptionFits(caption, area.width(), area.height());
    }
    return true;
}

// An icon with every image of an icon file's bytes; empty if they hold none.
// Each file is decoded once: windows that share an icon share its images.
const QIcon& iconFromFile(std::span<const unsigned char> bytes) {
    static std::map<std::pair<const unsigned char*, std::size_t>, QIcon> decoded;
    const auto key = std::make_pair(bytes.data(), bytes.size());
    if (const auto found = decoded.find(key); found != decoded.end()) {
        return found->second;
    }
    if (decoded.empty()) {
        // The images must go while the toolkit is still there.
        qAddPostRoutine([] { decoded.clear(); });
    }
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, "ico");
    QIcon icon;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (reader.jumpToImage(i)) {
            if (const QImage image = reader.read(); !image.isNull()) {
                icon.addPixmap(QPixmap::fromImage(image));
            }
        }
    }
    return decoded.emplace(key, icon).first->second;
}

} // namespace

Window::Window(const FormDescription& description) {
    installAccessibleInterfaces();
    setWindowTitle(toQString(description.caption));
    setFixedSize(pixels(description.clientWidth), pixels(description.clientHeight));
    if (!description.icon.empty()) {
        setWindowIcon(iconFromFile(description.icon));
    }
}

ControlSlot& Window::addControl(const ControlDescription& description, QWidget* widget) {
    widget->setObjectName(toQString(description.name));
    widget->setGeometry(pixels(description.left), pixels(description.top),
                        pixels(description.width), pixels(description.height));
    auto& slot = *controls_.emplace_back(std::make_unique<ControlSlot>(
        ControlSlot{std::string(description.name), description.tabIndex,
                    std::string(description.labelFor), widget}));
    return slot;
}

QWidget* Window::control(std::string_view name) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [name](const auto& slot) { return slot->name == name; });
    return found == controls_.end() ? nullptr : (*found)->widget.data();
}

std::vector<QWidget*> Window::focusOrder() const {
    std::vector<const ControlSlot*> sorted;
    sorted.reserve(controls_.size());
    for (const auto& slot : controls_) {
        sorted.push_back(slot.get());
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    std::vector<QWidget*> order;
    for (const ControlSlot* slot : sorted) {
        if (slot->widget != nullptr && slot->widget->focusPolicy() != Qt::NoFocus) {
            order.push_back(slot->widget);
        }
    }
    return order;
}

void Window::dispatch(const std::function<void()>& procedure) {
    QString report;
    try {
        procedure();
        return;
    } catch (const std::exception& error) {
        report = QString::fromUtf8(error.what());
    }
    QMessageBox::critical(this, windowTitle(), report);
}

void Window::fitFont() {
    // The largest size, no larger than the desktop's, at which every caption
    // shows whole; one size for the whole window keeps it even.
    constexpr int smallestPixelSize = 8;
    QFont font = QApplication::font(this);
    const auto allFit = [&](int pixelSize) {
        font.setPixelSize(pixelSize);
        return std::all_of(controls_.begin(), controls_.end(), [&](const auto& slot) {
            return slot->widget == nullptr || captionFits(*slot->widget, font);
        });
    };
    font.setPixelSize(LargestFittingSize(QFontInfo(font).pixelSize(), smallestPixelSize, allFit));
    setFont(font);
}

void Window::bindLabels() {
    for (const auto& slot : controls_) {
        auto* label = qobject_cast<QLabel*>(slot->widget.data());
        if (label != nullptr && !slot->labelFor.empty()) {
            label->setBuddy(control(slot->labelFor));
        }
    }
}

void Window::showWithInitialFocus() {
    bindLabels();
    const std::vector<QWidget*> order = focusOrder();
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
    fitFont();
    show();
    if (!order.empty()) {
        order.front()->setFocus(Qt::TabFocusReason);
    }
}

} // namespace detail

namespace {

// The live widget of a control, checked as every control operation is: a
// control whose widget is gone fails the operation with a RuntimeError.
template <class Widget> Widget& live(detail::ControlSlot& slot, std::string_view operation) {
    auto* widget = qobject_cast<Widget*>(slot.widget.data());
    if (widget == nullptr) {
        RaiseControlError(slot.name, operation, "the control no longer exists");
    }
    return *widget;
}

} // namespace

Form::Form(const FormDescription& description)
    : window_(std::make_unique<detail::Window>(description)) {}

Form::~Form() = default;

void Form::Show() {
    window_->showWithInitialFocus();
}

const std::string& Control::Name() const {
    return slot_->name;
}

TextBox::TextBox(Form& form, const ControlDescription& description)
    : Control(form.window().addControl(description, new QLineEdit(&form.window()))) {}

std::string TextBox::Text() const {
    return live<QLineEdit>(slot(), "Text").text().toStdString();
}

void TextBox::SetText(std::string_view text) {
    live<QLineEdit>(slot(), "SetText").setText(detail::toQString(text));
}

PictureBox::PictureBox(Form& form, const ControlDescription& description)
    : Control(form.window().addControl(description, new detail::OutputArea(&form.window()))) {}

void PictureBox::Clear() {
    live<detail::OutputArea>(slot(), "Clear").clear();
}

void PictureBox::Print(std::string_view text, Separator separator) {
    live<detail::OutputArea>(slot(), "Print")
        .print(detail::toQString(text), separator == Separator::LineEnd);
}

Label::Label(Form& form, const ControlDescription& description)
    : Control(form.window().addControl(description, [&] {
        auto* label = new QLabel(detail::toQString(description.caption), &form.window());
        label->setWordWrap(true);
        return label;
    }())) {}

CommandButton::CommandButton(Form& form, const ControlDescription& description,
                             std::function<void()> click)
    : Control(form.window().addControl(
          description,
          new detail::Button(detail::toQString(description.caption), &form.window()))) {
    detail::Window& window = form.window();
    QObject::connect(static_cast<QPushButton*>(slot().widget.data()), &QPushButton::clicked,
                     &window,
                     [&window, procedure = std::move(click)] { window.dispatch(procedure); });
}

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
    QApplication::setWindowIcon(startupForm->window().windowIcon());
    startupForm->Show();
    return QApplication::exec();
}

} // namespace platform
