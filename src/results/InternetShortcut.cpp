#include "results/InternetShortcut.h"

#include "platform/AtomicFile.h"
#include "platform/MessageSink.h"

namespace {

constexpr std::string_view kSection = "[InternetShortcut]\r\n";
constexpr std::string_view kAddressKey = "URL=";
constexpr std::string_view kLineEnd = "\r\n";
// Characters a file name may not hold on Windows, and the dot, which would start an extension.
constexpr std::string_view kReplacedInFileName = "\\/:*?\"<>!.";
constexpr char kFileNameReplacement = '_';
constexpr std::string_view kNoCaption = "";

} // namespace

std::string InternetShortcut::ProposeFileName(std::string_view title) {
    std::string name(title);
    for (char& c : name) {
        if (kReplacedInFileName.find(c) != std::string_view::npos) {
            c = kFileNameReplacement;
        }
    }
    return name;
}

std::string InternetShortcut::Bytes(std::string_view address) {
    std::string bytes(kSection);
    bytes += kAddressKey;
    bytes += address;
    bytes += kLineEnd;
    return bytes;
}

bool InternetShortcut::Write(const std::string& path, std::string_view address) {
    // A line break would end the URL line early and put the rest on lines of their own.
    if (address.find_first_of(kLineEnd) != std::string_view::npos) {
        return false;
    }
    return AtomicFile::Write(path, Bytes(address));
}

bool InternetShortcut::Save(const std::string& path, std::string_view address,
                            MessageSink& messages) {
    if (Write(path, address)) {
        return true;
    }
    messages.showMessage(kNoCaption, kSaveErrorMessage);
    return false;
}
