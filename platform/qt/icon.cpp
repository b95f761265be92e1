#include "platform/icon.h"

#include "platform/qt/window.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QIcon>
#include <QImageReader>

namespace platform::layer {

const QIcon& iconFromFile(std::span<const unsigned char> bytes) {
    static detail::IconCache<QIcon> decoded;
    if (decoded.empty()) {
        // The images must go while the toolkit is still there.
        qAddPostRoutine([] { decoded.clear(); });
    }
    // One icon holds every size, so it is kept under size 0.
    return decoded.get(bytes, 0, [](std::span<const unsigned char> file, int /*size*/) {
        QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                                  static_cast<qsizetype>(file.size()));
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
        return icon;
    });
}

} // namespace platform::layer
