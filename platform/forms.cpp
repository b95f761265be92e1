#include "platform/forms.h"

#include "platform/conversions.h"

namespace platform {

void PictureBox::Print(double number, Separator separator) {
    Print(NumberToText(number), separator);
}

} // namespace platform
