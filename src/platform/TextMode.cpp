#include "platform/TextMode.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr std::string_view kDiskLineEnd = "\r\n";

} // namespace

std::string TextMode::ToDisk(std::string_view text) {
    std::string out;
    AppendToDisk(text, out);
    return out;
}

void TextMode::AppendToDisk(std::string_view text, std::string& out) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const void* found = std::memchr(text.data() + begin, kLineFeed, text.size() - begin);
        if (found == nullptr) {
            out.append(text.data() + begin, text.size() - begin);
            return;
        }
        const std::size_t lineFeed =
            static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
        out.append(text.data() + begin, lineFeed - begin);
        out += kDiskLineEnd;
        begin = lineFeed + 1;
    }
}

std::string TextMode::FromDisk(std::string_view bytes) {
    std::string_view rest = BeforeEndOfFile(bytes);
    std::string text(rest.size(), '\0');
    text.resize(ReadFromDisk(rest, text.data(), text.size()));
    return text;
}

std::string_view TextMode::BeforeEndOfFile(std::string_view bytes) {
    const void* end = std::memchr(bytes.data(), kEndOfFile, bytes.size());
    if (end == nullptr) {
        return bytes;
    }
    return bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(end) - bytes.data()));
}

std::size_t TextMode::ReadFromDisk(std::string_view& bytes, char* out, std::size_t capacity) {
    std::size_t filled = 0;
    while (filled < capacity && !bytes.empty()) {
        // Copy up to the next carriage return, or as much as fits.
        const std::size_t span = std::min(capacity - filled, bytes.size());
        const void* found = std::memchr(bytes.data(), kCarriageReturn, span);
        const std::size_t plain =
            found == nullptr
                ? span
                : static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
        std::memcpy(out + filled, bytes.data(), plain);
        filled += plain;
        bytes.remove_prefix(plain);
        if (found == nullptr) {
            continue;
        }
        // A carriage return: with a line feed after it the pair reads as one line feed.
        const bool pair = bytes.size() > 1 && bytes[1] == kLineFeed;
        out[filled] = pair ? kLineFeed : kCarriageReturn;
        ++filled;
        bytes.remove_prefix(pair ? kDiskLineEnd.size() : sizeof(kCarriageReturn));
    }
    return filled;
}
