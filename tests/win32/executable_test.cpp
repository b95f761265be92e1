// Reads the built program back as Windows reads it: its headers and
// imports, its version record, its icon group and its manifest.
// Usage: executable_test PROGRAM.exe [MAXIMUM_BYTES]

#include "game/identity.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::filesystem::path program;
std::uintmax_t maximumBytes = 0; // no limit

struct FreeModule {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule>;

// The program mapped as an image, for its headers and resources; none of
// its code runs.
class Image : public testing::Test {
protected:
    void SetUp() override {
        module_.reset(LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_NE(module_, nullptr) << "cannot map " << program.string();
    }

    [[nodiscard]] const unsigned char* base() const {
        // The loader marks a resource mapping in the low bits of the handle.
        return reinterpret_cast<const unsigned char*>(
            reinterpret_cast<std::uintptr_t>(module_.get()) & ~std::uintptr_t{3});
    }
    [[nodiscard]] const IMAGE_NT_HEADERS64& headers() const {
        const auto& dos = *reinterpret_cast<const IMAGE_DOS_HEADER*>(base());
        return *reinterpret_cast<const IMAGE_NT_HEADERS64*>(base() + dos.e_lfanew);
    }
    [[nodiscard]] std::string resource(const wchar_t* type, int name) const {
        HRSRC found = FindResourceW(module_.get(), MAKEINTRESOURCEW(name), type);
        if (found == nullptr) {
            return {};
        }
        const auto* data =
            static_cast<const char*>(LockResource(LoadResource(module_.get(), found)));
        return {data, SizeofResource(module_.get(), found)};
    }

    UniqueModule module_;
};

// A graphical 64-bit program that needs nothing beyond the DLLs every
// Windows has, small enough to hand around.
TEST_F(Image, StandsAlone) {
    EXPECT_EQ(headers().FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(headers().OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    const IMAGE_DATA_DIRECTORY& imports =
        headers().OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(imports.VirtualAddress, 0U);
    const std::vector<std::string> system = {"comctl32.dll", "gdi32.dll", "kernel32.dll",
                                             "msvcrt.dll",   "ole32.dll", "user32.dll"};
    for (const auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base() + imports.VirtualAddress);
         entry->Name != 0; ++entry) {
        std::string name = reinterpret_cast<const char*>(base() + entry->Name);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_NE(std::find(system.begin(), system.end(), name), system.end())
            << "imports " << name;
    }
    if (maximumBytes > 0) {
        EXPECT_LE(std::filesystem::file_size(program), maximumBytes);
    }
}

// File and product version 1.0.0.0, shown as the program's version, in US
// English.
TEST(Executable, VersionRecord) {
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &unused);
    ASSERT_GT(size, 0U);
    std::vector<unsigned char> record(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, record.data()));
    const auto query = [&](const wchar_t* path) -> std::pair<const void*, UINT> {
        void* value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(record.data(), path, &value, &length) == FALSE) {
            return {nullptr, 0};
        }
        return {value, length};
    };

    const auto [fixedData, fixedSize] = query(L"\\");
    ASSERT_EQ(fixedSize, sizeof(VS_FIXEDFILEINFO));
    const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(fixedData);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDU);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000U);
    EXPECT_EQ(fixed.dwFileVersionLS, 0U);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000U);
    EXPECT_EQ(fixed.dwProductVersionLS, 0U);
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));

    const auto [translation, translationSize] = query(L"\\VarFileInfo\\Translation");
    ASSERT_EQ(translationSize, 4U);
    EXPECT_EQ(static_cast<const WORD*>(translation)[0], 0x0409); // US English
    EXPECT_EQ(static_cast<const WORD*>(translation)[1], 1200);   // Unicode

    const auto text = [&](const wchar_t* key) {
        const auto [value, length] =
            query((std::wstring(L"\\StringFileInfo\\040904B0\\") + key).c_str());
        return value == nullptr ? std::wstring(L"(missing)")
                                : std::wstring(static_cast<const wchar_t*>(value));
    };
    const auto wide = [](const std::string& ascii) {
        return std::wstring(ascii.begin(), ascii.end());
    };
    EXPECT_EQ(text(L"FileVersion"), L"1.00");
    EXPECT_EQ(text(L"ProductVersion"), wide(game::VersionShown));
    EXPECT_EQ(text(L"ProductName"), wide(game::ApplicationName));
    EXPECT_EQ(text(L"OriginalFilename"), wide(std::string(game::ProgramName) + ".exe"));
}

// One icon group of three images: 32 x 32 in 2 colours, 32 x 32 and 16 x 16
// in 16 colours, each of them there.
TEST_F(Image, IconGroup) {
    const std::string group = resource(RT_GROUP_ICON, 1);
    ASSERT_GE(group.size(), 6U);
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(group.at(at)); };
    const auto word = [&](std::size_t at) { return byte(at) | (byte(at + 1) << 8); };
    EXPECT_EQ(word(2), 1); // icons
    ASSERT_EQ(word(4), 3);
    ASSERT_EQ(group.size(), 6U + 3 * 14);
    const int expected[][3] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
    for (int i = 0; i < 3; ++i) {
        const std::size_t entry = 6 + static_cast<std::size_t>(i) * 14;
        EXPECT_EQ(byte(entry), expected[i][0]);
        EXPECT_EQ(byte(entry + 1), expected[i][0]);
        EXPECT_EQ(byte(entry + 2), expected[i][1]);
        EXPECT_EQ(word(entry + 6), expected[i][2]); // bits per pixel
        EXPECT_FALSE(resource(RT_ICON, word(entry + 12)).empty());
    }
}

// Themed common controls and per-monitor DPI awareness.
TEST_F(Image, Manifest) {
    const std::string manifest = resource(RT_MANIFEST, 1);
    ASSERT_FALSE(manifest.empty());
    for (const char* part :
         {R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")", "PerMonitorV2",
          "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm<"}) {
        std::string wanted = part;
        // The attributes may stand on more than one line.
        std::erase_if(wanted, [](char c) { return c == ' '; });
        std::string compact = manifest;
        std::erase_if(compact, [](char c) { return c == ' ' || c == '\n' || c == '\r'; });
        EXPECT_NE(compact.find(wanted), std::string::npos) << part;
    }
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: executable_test PROGRAM.exe [MAXIMUM_BYTES]\n");
        return 2;
    }
    program = argv[1];
    if (argc > 2) {
        maximumBytes = std::stoull(argv[2]);
    }
    return RUN_ALL_TESTS();
}
