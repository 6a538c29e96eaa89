#include "support/RecordingDesktopOpen.h"

bool RecordingDesktopOpen::Open(const std::string& pathOrAddress) {
    opened.push_back(pathOrAddress);
    return opens;
}
