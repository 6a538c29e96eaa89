#include "model/EngineFileSwitch.h"

#include "model/EngineFile.h"
#include "platform/AtomicFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kEnableKey = "enable:";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kEnabledValue = "true";
constexpr std::string_view kDisabledValue = "false";

bool readBytes(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

std::string EngineFileSwitch::WithEnableValue(std::string bytes, std::string_view value) {
    for (std::size_t line = 0; line < bytes.size();) {
        if (bytes.compare(line, kEnableKey.size(), kEnableKey) == 0) {
            const std::size_t start = line + kEnableKey.size();
            const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
            bytes.replace(start, end - start, value);
            return bytes;
        }
        const std::size_t next = bytes.find('\n', line);
        if (next == std::string::npos) {
            break;
        }
        line = next + 1;
    }
    if (!bytes.empty() && bytes.back() != '\n') {
        bytes += kLineEnd;
    }
    bytes += kEnableKey;
    bytes += value;
    bytes += kLineEnd;
    return bytes;
}

bool EngineFileSwitch::SwitchUserEngine(const std::string& userFolder,
                                        const EngineDefinition& engine, bool enable) {
    std::error_code error;
    fs::directory_iterator entries(userFolder, error);
    const fs::directory_iterator end;
    for (; !error && entries != end; entries.increment(error)) {
        const std::string path = entries->path().string();
        if (!EngineFile::IsEngineFileName(entries->path().filename().string()) ||
            !entries->is_regular_file(error)) {
            continue;
        }
        EngineDefinition read;
        if (EngineFile::ReadEngineFile(path, read) != EngineFile::ReadResult::Read ||
            read.name.view() != engine.name.view() ||
            read.category.view() != engine.category.view()) {
            continue;
        }
        std::string bytes;
        if (!readBytes(path, bytes)) {
            return false;
        }
        return AtomicFile::Write(path,
                                 WithEnableValue(bytes, enable ? kEnabledValue : kDisabledValue));
    }
    return false;
}
