#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it, read-only files included.
class TempFolder {
public:
    TempFolder() { fs::create_directories(path_); }
    ~TempFolder() {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(path_, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        }
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_ = fs::temp_directory_path() / ("codeeingabe-" + std::to_string(std::random_device{}()));
};

inline void WriteBytes(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

inline std::string Bytes(const fs::path& file) {
    std::ostringstream out;
    out << std::ifstream(file, std::ios::binary).rdbuf();
    return out.str();
}

// The read-only attribute on Windows, the owner's write bit elsewhere.
inline void MakeReadOnly(const fs::path& file) { fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove); }

inline std::string Utf16(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}
