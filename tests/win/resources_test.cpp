#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "ui/res/resource.h"
#include "wine_test_support.h"

using namespace codeeingabe::test;

namespace {

struct LibraryFreer {
    using pointer = HMODULE;
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

std::unique_ptr<HMODULE, LibraryFreer> LoadProgramImage() {
    return std::unique_ptr<HMODULE, LibraryFreer>(
        LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::string_view ResourceBytes(HMODULE module, int id, LPCWSTR type) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    return std::string_view(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

TEST(Resources, ProgramIconHoldsThe16_32And48PixelImages) {
    auto program = LoadProgramImage();
    ASSERT_NE(program.get(), nullptr);
    const std::string_view group = ResourceBytes(program.get(), IDI_PROGRAM, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
    ASSERT_GE(group.size(), 6u);
    const auto count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5]) << 8;
    ASSERT_EQ(group.size(), 6u + 14u * static_cast<std::size_t>(count));
    std::set<int> sizes;
    for (int i = 0; i < count; ++i) {
        const int width = static_cast<unsigned char>(group[6 + 14 * static_cast<std::size_t>(i)]);
        const int height = static_cast<unsigned char>(group[7 + 14 * static_cast<std::size_t>(i)]);
        EXPECT_EQ(width, height);
        sizes.insert(width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48}));
    for (const int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(LoadImageW(program.get(), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon != nullptr) DestroyIcon(icon);
    }
}

TEST(Resources, LockNoticeIsA640By480Picture) {
    auto program = LoadProgramImage();
    ASSERT_NE(program.get(), nullptr);
    const std::string_view png = ResourceBytes(program.get(), IDR_LOCK_NOTICE, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(png, 16), 640u);
    EXPECT_EQ(BigEndian32(png, 20), 480u);
}

TEST(Resources, VersionResourceNamesTheProgram) {
    const std::wstring path = ProgramPath().wstring();
    DWORD ignored = 0;
    std::string data(GetFileVersionInfoSizeW(path.c_str(), &ignored), '\0');
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    auto value = [&](const wchar_t* name) {
        wchar_t* text = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040704B0\\") + name;
        if (!VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&text), &length)) return std::wstring();
        return std::wstring(text);
    };
    EXPECT_EQ(value(L"FileDescription"), L"F\u00fcr die Eingabe eines Credit-Codes aus einer Codeliste");
    EXPECT_EQ(value(L"OriginalFilename"), L"Codelist.exe");
}

TEST(Resources, ManifestAsksForCommonControls6AsInvoker) {
    auto program = LoadProgramImage();
    ASSERT_NE(program.get(), nullptr);
    const std::string manifest(ResourceBytes(program.get(), 1, MAKEINTRESOURCEW(24) /* RT_MANIFEST */));
    for (const char* expected :
         {"<description>Codelisten-Modul</description>", "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          "processorArchitecture=\"amd64\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"",
          "level=\"asInvoker\" uiAccess=\"false\"", "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"}) {
        EXPECT_NE(manifest.find(expected), std::string::npos) << expected;
    }
}
