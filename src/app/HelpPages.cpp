#include "app/HelpPages.h"

std::string HelpPages::HelpFilePath(const std::string& programFolder) {
    std::string path = programFolder;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path + kHelpFileName;
}
