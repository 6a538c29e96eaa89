#pragma once

#include "platform/ShellOpen.h"

#include <string>
#include <vector>

// Keeps every path or address it was asked to open with the desktop's handler, and answers as
// told.
class RecordingDesktopOpen : public ShellOpen {
  public:
    bool Open(const std::string& pathOrAddress) override;

    bool opens = true;
    std::vector<std::string> opened;
};
