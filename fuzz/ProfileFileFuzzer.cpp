// The INI reader on arbitrary file bytes, and a write into that file: what is written reads
// back, by the reading rules, and a failed write changes nothing.
#include "FuzzScratchDir.h"

#include "platform/ProfileFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr std::string_view kFileName = "fuzz.ini";
constexpr std::size_t kMaxName = 40;
constexpr std::size_t kMaxValue = 80;
// A caller's buffer, as the settings store reads strings.
constexpr std::size_t kBufferSize = 128;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// A value as the reader gives it back: trimmed, and one pair of enclosing quotes removed.
std::string asRead(std::string_view value) {
    while (!value.empty() && isSpace(value.front())) {
        value.remove_prefix(1);
    }
    while (!value.empty() && isSpace(value.back())) {
        value.remove_suffix(1);
    }
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\'')) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::string readBack(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(kMaxName);
    const std::string key = input.ConsumeRandomLengthString(kMaxName);
    const std::string value = input.ConsumeRandomLengthString(kMaxValue);
    const int defaultValue = input.ConsumeIntegral<int>();
    const std::string content = input.ConsumeRemainingBytesAsString();
    const FuzzScratchDir& scratch = FuzzScratchDir::Instance();
    scratch.Write(kFileName, content);
    const std::string path = scratch.File(kFileName);

    ProfileFile file(path);
    const std::optional<std::string> before = file.ReadValue(section, key);
    const std::string text = file.ReadString(section, key, "default", kBufferSize);
    if (text.size() >= kBufferSize) {
        std::abort();
    }
    const int number = file.ReadInt(section, key, defaultValue);
    if (!before && number != defaultValue) {
        std::abort();
    }
    if (before && file.ReadValue(section, key) != before) {
        std::abort();
    }
    (void)file.HasSection(section);

    if (!file.WriteString(section, key, value)) {
        if (readBack(path) != content) {
            std::abort();
        }
        return 0;
    }
    const std::optional<std::string> after = file.ReadValue(section, key);
    if (!after || *after != asRead(value) || !file.HasSection(section)) {
        std::abort();
    }
    return 0;
}
