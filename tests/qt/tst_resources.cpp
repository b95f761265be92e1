// Reads back the icon file and the version as the program shows it. The
// Windows build reads its version record and icon group back from the
// executable itself.

#include "game/identity.h"

#include <cstdint>
#include <stdexcept>

#include <QFile>
#include <QTest>

namespace {

class Reader {
public:
    explicit Reader(QByteArray data)
        : data_(std::move(data)) {}
    [[nodiscard]] qsizetype position() const { return at_; }
    void seek(qsizetype at) { at_ = at; }
    std::uint32_t u8() { return take(1); }
    std::uint32_t u16() { return take(2); }
    std::uint32_t u32() { return take(4); }
    void skip(qsizetype size) {
        check(size);
        at_ += size;
    }

private:
    void check(qsizetype size) const {
        if (at_ + size > data_.size()) {
            throw std::out_of_range("read past the end");
        }
    }
    std::uint32_t take(int size) {
        check(size);
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i) {
            value |= std::uint32_t{static_cast<std::uint8_t>(data_.at(at_ + i))} << (8 * i);
        }
        at_ += size;
        return value;
    }
    QByteArray data_;
    qsizetype at_ = 0;
};

} // namespace

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void versionShown() {
        QCOMPARE(QString::fromLatin1(game::VersionShown), QStringLiteral("1.00"));
    }

    // Exactly three images: 32 x 32 in 2 colours, 32 x 32 and 16 x 16 in 16,
    // as the directory says and as each bitmap's own header says.
    void iconFile() {
        QFile file(QStringLiteral(ICON_FILE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        Reader in(data);
        QCOMPARE(in.u16(), 0U);
        QCOMPARE(in.u16(), 1U);
        QCOMPARE(in.u16(), 3U);
        const struct {
            std::uint32_t size, colours, bits;
        } expected[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
        for (const auto& image : expected) {
            QCOMPARE(in.u8(), image.size);
            QCOMPARE(in.u8(), image.size);
            QCOMPARE(in.u8(), image.colours);
            in.u8();
            QCOMPARE(in.u16(), 1U);
            QCOMPARE(in.u16(), image.bits);
            const std::uint32_t bytes = in.u32();
            const std::uint32_t offset = in.u32();
            const qsizetype next = in.position();

            in.seek(offset);
            QCOMPARE(in.u32(), 40U);
            QCOMPARE(in.u32(), image.size);
            QCOMPARE(in.u32(), image.size * 2); // colour rows and mask rows
            QCOMPARE(in.u16(), 1U);
            QCOMPARE(in.u16(), image.bits);
            in.skip(16); // compression, image size, resolution
            QCOMPARE(in.u32(), image.colours);
            const std::uint32_t rowBits = (image.size * image.bits + 31) / 32 * 32;
            const std::uint32_t maskBits = (image.size + 31) / 32 * 32;
            QCOMPARE(bytes, 40 + 4 * image.colours + (rowBits + maskBits) / 8 * image.size);
            in.seek(next);
        }
    }
};

QTEST_APPLESS_MAIN(ResourcesTest)
#include "tst_resources.moc"
