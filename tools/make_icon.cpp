// Builds the application icon from its text pixel maps: an icon file with one
// image per map, PNG files of the 16-colour images for desktop icon themes,
// and the icon file's bytes as an initializer list for the program to embed.
//
// Usage: make_icon OUT_DIR NAME MAP...
// writes OUT_DIR/NAME.ico, OUT_DIR/NAME-<size>.png and OUT_DIR/NAME.ico.inc.

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t red, green, blue;
    auto operator<=>(const Rgb&) const = default;
};

struct PixelMap {
    int width = 0;
    int height = 0;
    int colours = 0;          // palette size of the icon image: 2 or 16
    std::vector<Rgb> palette; // distinct colours, in order of first mention
    // Palette index of each pixel, row by row from the top; empty for a
    // transparent pixel.
    std::vector<std::optional<std::uint8_t>> pixels;

    [[nodiscard]] const std::optional<std::uint8_t>& at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

PixelMap readPixelMap(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    PixelMap map;
    std::map<char, std::optional<std::uint8_t>> legend;
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || (map.width == 0 && line[0] == '#')) {
            continue; // comments stand before the size line; rows may start with '#'
        }
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "size") {
            words >> map.width >> map.height;
            map.pixels.reserve(static_cast<std::size_t>(map.width) *
                               static_cast<std::size_t>(map.height));
        } else if (keyword == "colours") {
            words >> map.colours;
        } else if (keyword == "colour") {
            char symbol = 0;
            std::string value;
            words >> symbol >> value;
            if (value == "transparent") {
                legend[symbol] = std::nullopt;
                continue;
            }
            const auto rgb = static_cast<std::uint32_t>(std::stoul(value, nullptr, 16));
            const Rgb colour{static_cast<std::uint8_t>(rgb >> 16),
                             static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)};
            std::size_t index = 0;
            while (index < map.palette.size() && map.palette[index] != colour) {
                ++index;
            }
            if (index == map.palette.size()) {
                map.palette.push_back(colour);
            }
            legend[symbol] = static_cast<std::uint8_t>(index);
        } else {
            if (static_cast<int>(line.size()) != map.width) {
                throw std::runtime_error(path + ": a row is not " + std::to_string(map.width) +
                                         " pixels wide");
            }
            for (const char symbol : line) {
                const auto found = legend.find(symbol);
                if (found == legend.end()) {
                    throw std::runtime_error(path + ": no colour for '" + symbol + "'");
                }
                map.pixels.push_back(found->second);
            }
            ++rows;
        }
    }
    if (rows != map.height || (map.colours != 2 && map.colours != 16) ||
        static_cast<int>(map.palette.size()) > map.colours) {
        throw std::runtime_error(path + ": size, colours and rows do not agree");
    }
    map.palette.resize(static_cast<std::size_t>(map.colours), Rgb{0, 0, 0});
    return map;
}

void put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void put32(Bytes& out, std::uint32_t value) {
    put16(out, value & 0xFFFFU);
    put16(out, value >> 16);
}
void put32BigEndian(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

int bitsPerPixel(const PixelMap& map) {
    return map.colours == 2 ? 1 : 4;
}

// One icon image: a device-independent bitmap of twice the height (colour
// rows, then the transparency mask), both stored bottom row first with rows
// padded to four bytes.
Bytes iconImage(const PixelMap& map) {
    const int bits = bitsPerPixel(map);
    const auto rowBytes = [](int pixels, int bitsEach) {
        return ((pixels * bitsEach + 31) / 32) * 4;
    };
    const int colourRow = rowBytes(map.width, bits);
    const int maskRow = rowBytes(map.width, 1);
    Bytes out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(map.width));
    put32(out, static_cast<std::uint32_t>(map.height * 2));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bits));
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>((colourRow + maskRow) * map.height));
    put32(out, 0);
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(map.colours));
    put32(out, 0);
    for (const Rgb& colour : map.palette) {
        out.insert(out.end(), {colour.blue, colour.green, colour.red, 0});
    }
    for (bool mask : {false, true}) {
        const int rowSize = mask ? maskRow : colourRow;
        const int bitsEach = mask ? 1 : bits;
        for (int y = map.height - 1; y >= 0; --y) {
            Bytes row(static_cast<std::size_t>(rowSize), 0);
            for (int x = 0; x < map.width; ++x) {
                const auto& pixel = map.at(x, y);
                const unsigned value = mask ? (pixel ? 0U : 1U) : pixel.value_or(0);
                const int bit = x * bitsEach;
                row[static_cast<std::size_t>(bit / 8)] |=
                    static_cast<std::uint8_t>(value << (8 - bitsEach - bit % 8));
            }
            out.insert(out.end(), row.begin(), row.end());
        }
    }
    return out;
}

Bytes iconFile(const std::vector<PixelMap>& maps) {
    Bytes out;
    put16(out, 0);
    put16(out, 1); // an icon, not a cursor
    put16(out, static_cast<std::uint32_t>(maps.size()));
    std::vector<Bytes> images;
    images.reserve(maps.size());
    for (const PixelMap& map : maps) {
        images.push_back(iconImage(map));
    }
    auto offset = static_cast<std::uint32_t>(6 + 16 * maps.size());
    for (std::size_t i = 0; i < maps.size(); ++i) {
        out.push_back(static_cast<std::uint8_t>(maps[i].width));
        out.push_back(static_cast<std::uint8_t>(maps[i].height));
        out.push_back(static_cast<std::uint8_t>(maps[i].colours));
        out.push_back(0);
        put16(out, 1);
        put16(out, static_cast<std::uint32_t>(bitsPerPixel(maps[i])));
        put32(out, static_cast<std::uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const Bytes& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

std::uint32_t crc32(const Bytes& data, std::size_t from) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFU;
    for (std::size_t i = from; i < data.size(); ++i) {
        crc = table[(crc ^ data[i]) & 0xFFU] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFU;
}

void pngChunk(Bytes& out, const char* type, const Bytes& data) {
    put32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32BigEndian(out, crc32(out, start));
}

// An 8-bit RGBA PNG. The image data is a zlib stream of stored (uncompressed)
// deflate blocks: icons are tiny, and this needs no compression library.
Bytes pngFile(const PixelMap& map) {
    Bytes raw;
    for (int y = 0; y < map.height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < map.width; ++x) {
            const auto& pixel = map.at(x, y);
            const Rgb colour = pixel ? map.palette[*pixel] : Rgb{0, 0, 0};
            raw.insert(raw.end(), {colour.red, colour.green, colour.blue,
                                   static_cast<std::uint8_t>(pixel ? 255 : 0)});
        }
    }
    Bytes zlib{0x78, 0x01};
    constexpr std::size_t maxBlock = 65535;
    for (std::size_t at = 0; at < raw.size() || at == 0; at += maxBlock) {
        const std::size_t size = std::min(maxBlock, raw.size() - at);
        zlib.push_back(at + size >= raw.size() ? 1 : 0);
        put16(zlib, static_cast<std::uint32_t>(size));
        put16(zlib, static_cast<std::uint32_t>(~size & 0xFFFFU));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                    raw.begin() + static_cast<std::ptrdiff_t>(at + size));
        if (size == 0) {
            break;
        }
    }
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521U;
        b = (b + a) % 65521U;
    }
    put32BigEndian(zlib, (b << 16) | a);

    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32BigEndian(header, static_cast<std::uint32_t>(map.width));
    put32BigEndian(header, static_cast<std::uint32_t>(map.height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    pngChunk(out, "IHDR", header);
    pngChunk(out, "IDAT", zlib);
    pngChunk(out, "IEND", {});
    return out;
}

void writeFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

void writeInitializer(const std::string& path, const Bytes& data) {
    std::ofstream out(path);
    for (std::size_t i = 0; i < data.size(); ++i) {
        out << static_cast<unsigned>(data[i]) << (i % 24 == 23 ? ",\n" : ",");
    }
    out << '\n';
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: make_icon OUT_DIR NAME MAP...\n";
        return 2;
    }
    try {
        const std::string base = std::string(argv[1]) + "/" + argv[2];
        std::vector<PixelMap> maps;
        for (int i = 3; i < argc; ++i) {
            maps.push_back(readPixelMap(argv[i]));
        }
        const Bytes icon = iconFile(maps);
        writeFile(base + ".ico", icon);
        writeInitializer(base + ".ico.inc", icon);
        for (const PixelMap& map : maps) {
            if (map.colours == 16) {
                writeFile(base + "-" + std::to_string(map.width) + ".png", pngFile(map));
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "make_icon: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
