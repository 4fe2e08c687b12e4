// A fresh folder of its own under the system's temporary folder, on every platform.
#pragma once

#include <chrono>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

inline std::string MakeTempFolder(const std::string& stem) {
    namespace fs = std::filesystem;
    std::mt19937_64 random(uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                           uint64_t(std::random_device{}()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder =
            fs::temp_directory_path() / (stem + "-" + std::to_string(random() % 1000000000));
        std::error_code error;
        // create_directory is false for a folder that exists: another attempt takes another name.
        if (fs::create_directory(folder, error)) return folder.generic_string();
    }
    throw std::runtime_error("cannot make a temporary folder");
}
