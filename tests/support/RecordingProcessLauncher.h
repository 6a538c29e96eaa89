#pragma once

#include "platform/ProcessLauncher.h"

#include <string>
#include <vector>

// Keeps every program it was asked to start, and answers as told.
class RecordingProcessLauncher : public ProcessLauncher {
  public:
    struct Started {
        std::string program;
        std::vector<std::string> arguments;
    };

    bool StartDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override;

    bool starts = true;
    std::vector<Started> started;
};
