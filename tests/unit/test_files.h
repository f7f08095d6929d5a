#pragma once

#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it. (Windows keeps a read-only file: make it writable first.)
struct TempFolder {
    fs::path path = fs::temp_directory_path() / ("codeeingabe-" + std::to_string(std::random_device{}()));
    std::error_code ignored;
    TempFolder() { fs::create_directories(path); }
    TempFolder(const TempFolder&) = delete;
    ~TempFolder() { fs::remove_all(path, ignored); }
    fs::path operator/(const std::string& name) const { return path / name; }
};

inline void WriteBytes(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

inline std::string Bytes(const fs::path& file) {
    std::ostringstream out;
    out << std::ifstream(file, std::ios::binary).rdbuf();
    return out.str();
}

// The tables write "|" for a CR LF line end.
inline std::string Crlf(std::string text) {
    for (std::size_t at = 0; (at = text.find('|', at)) != text.npos; at += 2) text.replace(at, 1, "\r\n");
    return text;
}

// As an editor saves "Unicode".
inline std::string Utf16(const std::string& ascii) {
    return std::accumulate(ascii.begin(), ascii.end(), std::string("\xFF\xFE"),
                           [](std::string s, char c) { return s + c + '\0'; });
}
