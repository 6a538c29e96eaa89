#include "support/TestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::ptrdiff_t entriesIn(const std::string& folder) {
    return std::distance(std::filesystem::directory_iterator(folder),
                         std::filesystem::directory_iterator());
}

std::string fixturePath(const std::string& relative) {
    const char* root = std::getenv("VANTORELL_FIXTURES");
    if (root == nullptr) {
        root = VANTORELL_FIXTURES_DEFAULT;
    }
    std::string path = std::string(root) + "/" + relative;
    if (!std::filesystem::exists(path)) {
        return {};
    }
    return path;
}

std::string sourcePath(const std::string& relative) {
    const char* root = std::getenv("VANTORELL_SOURCE_DIR");
    std::string base = root != nullptr ? root : VANTORELL_SOURCE_DIR_DEFAULT;
    return base + "/" + relative;
}
