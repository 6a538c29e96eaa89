#include "support/RecordingProcessLauncher.h"

bool RecordingProcessLauncher::StartDetached(const std::string& program,
                                             const std::vector<std::string>& arguments) {
    started.push_back({program, arguments});
    return starts;
}
