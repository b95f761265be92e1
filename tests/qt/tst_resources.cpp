// Reads back the compiled Windows resources and the icon file: the version
// record's numbers and US English strings, and the icon's three images.

#include "game/identity.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include <QFile>
#include <QTest>

namespace {

class Reader {
public:
    explicit Reader(QByteArray data)
        : data_(std::move(data)) {}
    [[nodiscard]] qsizetype position() const { return at_; }
    [[nodiscard]] bool atEnd() const { return at_ >= data_.size(); }
    void seek(qsizetype at) { at_ = at; }
    void align() { at_ = (at_ + 3) & ~qsizetype{3}; }
    std::uint32_t u8() { return take(1); }
    std::uint32_t u16() { return take(2); }
    std::uint32_t u32() { return take(4); }
    QByteArray bytes(qsizetype size) {
        check(size);
        QByteArray part = data_.mid(at_, size);
        at_ += size;
        return part;
    }
    // A null-terminated UTF-16 string.
    QString text() {
        QString result;
        for (std::uint32_t c = u16(); c != 0; c = u16()) {
            result.append(QChar(static_cast<char16_t>(c)));
        }
        return result;
    }
    // A resource type or name: an ordinal (0xFFFF, id) or a string.
    QString nameOrId() {
        if (static_cast<std::uint8_t>(data_.at(at_)) == 0xFF &&
            static_cast<std::uint8_t>(data_.at(at_ + 1)) == 0xFF) {
            at_ += 2;
            return QString::number(u16());
        }
        return text();
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

struct Resource {
    QString type;
    QString name;
    std::uint32_t language = 0;
    QByteArray data;
};

std::vector<Resource> readResources(const QByteArray& file) {
    std::vector<Resource> resources;
    Reader in(file);
    while (!in.atEnd()) {
        const qsizetype start = in.position();
        const std::uint32_t dataSize = in.u32();
        const std::uint32_t headerSize = in.u32();
        Resource resource;
        resource.type = in.nameOrId();
        resource.name = in.nameOrId();
        in.align();
        in.u32(); // data version
        in.u16(); // memory flags
        resource.language = in.u16();
        in.seek(start + headerSize);
        resource.data = in.bytes(dataSize);
        in.align();
        if (dataSize > 0) {
            resources.push_back(resource);
        }
    }
    return resources;
}

// A node of a version record: key, value and children.
struct VersionNode {
    QString key;
    QByteArray value;
    bool isText = false;
    std::vector<VersionNode> children;

    [[nodiscard]] const VersionNode* child(const QString& name) const {
        for (const VersionNode& node : children) {
            if (node.key == name) {
                return &node;
            }
        }
        return nullptr;
    }
    [[nodiscard]] QString text() const {
        QString result = QString::fromUtf16(reinterpret_cast<const char16_t*>(value.constData()),
                                            value.size() / 2);
        while (result.endsWith(QChar(0))) {
            result.chop(1);
        }
        return result;
    }
};

VersionNode readVersionNode(Reader& in) {
    const qsizetype start = in.position();
    const std::uint32_t length = in.u16();
    const std::uint32_t valueLength = in.u16();
    VersionNode node;
    node.isText = in.u16() == 1;
    node.key = in.text();
    in.align();
    node.value = in.bytes(node.isText ? valueLength * 2 : valueLength);
    in.align();
    while (in.position() < start + length) {
        node.children.push_back(readVersionNode(in));
        in.align();
    }
    return node;
}

// The first resource of `type` (and `name`, if given), or null.
const Resource* findResource(const std::vector<Resource>& resources, std::uint32_t type,
                             const QString& name = {}) {
    const auto found = std::find_if(resources.begin(), resources.end(), [&](const auto& r) {
        return r.type == QString::number(type) && (name.isEmpty() || r.name == name);
    });
    return found == resources.end() ? nullptr : &*found;
}

constexpr std::uint32_t iconType = 3;
constexpr std::uint32_t iconGroupType = 14;
constexpr std::uint32_t versionType = 16;

} // namespace

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void versionShown() {
        QCOMPARE(QString::fromLatin1(game::VersionShown), QStringLiteral("1.00"));
    }

    void versionRecord() {
        const std::vector<Resource> resources = compiledResources();
        if (resources.empty()) {
            return; // skipped or failed already
        }
        const Resource* version = findResource(resources, versionType);
        QVERIFY(version != nullptr);
        QCOMPARE(version->language, 0x0409U);
        Reader in(version->data);
        const VersionNode root = readVersionNode(in);
        QCOMPARE(root.key, QStringLiteral("VS_VERSION_INFO"));
        QCOMPARE(root.value.size(), 52);
        Reader fixed(root.value);
        QCOMPARE(fixed.u32(), 0xFEEF04BDU); // signature
        fixed.u32();                        // structure version
        QCOMPARE(fixed.u32(), 0x00010000U); // file version 1.0
        QCOMPARE(fixed.u32(), 0x00000000U); // .0.0
        QCOMPARE(fixed.u32(), 0x00010000U); // product version 1.0
        QCOMPARE(fixed.u32(), 0x00000000U); // .0.0

        const VersionNode* strings = root.child(QStringLiteral("StringFileInfo"));
        QVERIFY(strings != nullptr);
        const VersionNode* english = strings->child(QStringLiteral("040904B0"));
        QVERIFY(english != nullptr);
        const auto value = [&](const char* key) {
            const VersionNode* node = english->child(QString::fromLatin1(key));
            return node != nullptr ? node->text() : QStringLiteral("(missing)");
        };
        QCOMPARE(value("FileVersion"), QStringLiteral("1.00"));
        QCOMPARE(value("ProductVersion"), QStringLiteral("1.00"));
        QCOMPARE(value("ProductName"), QStringLiteral("Rolling a zemb"));
        QCOMPARE(value("OriginalFilename"), QStringLiteral("rolling-zemb.exe"));
        QVERIFY(!value("FileDescription").isEmpty());

        const VersionNode* variables = root.child(QStringLiteral("VarFileInfo"));
        QVERIFY(variables != nullptr);
        const VersionNode* translation = variables->child(QStringLiteral("Translation"));
        QVERIFY(translation != nullptr);
        Reader pair(translation->value);
        QCOMPARE(pair.u16(), 0x0409U);
        QCOMPARE(pair.u16(), 1200U);
    }

    // The icon group in the resources lists the same three images as the
    // icon file, and each image is there.
    void iconGroup() {
        const std::vector<Resource> resources = compiledResources();
        if (resources.empty()) {
            return; // skipped or failed already
        }
        const Resource* group = findResource(resources, iconGroupType);
        QVERIFY(group != nullptr);
        Reader in(group->data);
        in.u16();
        QCOMPARE(in.u16(), 1U);
        QCOMPARE(in.u16(), 3U);
        QList<std::uint32_t> sizes;
        for (int i = 0; i < 3; ++i) {
            const std::uint32_t width = in.u8();
            in.u8();
            const std::uint32_t colours = in.u8();
            in.bytes(1 + 2 + 2 + 4);
            const QString id = QString::number(in.u16());
            sizes << width * 100 + colours;
            QVERIFY(findResource(resources, iconType, id) != nullptr);
        }
        QCOMPARE(sizes, (QList<std::uint32_t>{3202, 3216, 1616}));
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
            in.bytes(16); // compression, image size, resolution
            QCOMPARE(in.u32(), image.colours);
            const std::uint32_t rowBits = (image.size * image.bits + 31) / 32 * 32;
            const std::uint32_t maskBits = (image.size + 31) / 32 * 32;
            QCOMPARE(bytes, 40 + 4 * image.colours + (rowBits + maskBits) / 8 * image.size);
            in.seek(next);
        }
    }

private: // NOLINT(readability-redundant-access-specifiers): not a test slot
    static std::vector<Resource> compiledResources() {
        const QString path = QStringLiteral(RESOURCE_FILE);
        if (path.isEmpty()) {
            if (qEnvironmentVariable("CI") == QStringLiteral("true")) {
                QTest::qFail("windres is missing in CI", __FILE__, __LINE__);
            } else {
                QTest::qSkip("no resource compiler (Debian: binutils-mingw-w64-x86-64)", __FILE__,
                             __LINE__);
            }
            return {};
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            QTest::qFail("the compiled resources cannot be read", __FILE__, __LINE__);
            return {};
        }
        return readResources(file.readAll());
    }
};

QTEST_APPLESS_MAIN(ResourcesTest)
#include "tst_resources.moc"
