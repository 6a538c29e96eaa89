#include "cli/Cli.h"

#include "settings/OptionsStore.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

int Cli::Fail(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kProgramName, text.c_str());
    return kExitBadInput;
}

int Cli::Help(const char* usage) {
    std::fputs(usage, stdout);
    return kExitOk;
}

std::string Cli::ProgramFolder(const CommandLine& line) {
    if (line.Has("--app-path")) {
        return OptionsStore::GetAppPath(line.Value("--app-path"));
    }
    return OptionsStore::GetAppPath();
}

bool Cli::ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code code;
    if (std::filesystem::is_directory(path, code)) {
        error = path + ": is a folder";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = path + ": read error";
        return false;
    }
    return true;
}

bool Cli::ParsePositive(const std::string& text, long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    errno = 0;
    const long parsed = std::strtol(text.c_str(), nullptr, 10);
    if (errno != 0 || parsed <= 0 || parsed > INT_MAX) {
        return false;
    }
    value = parsed;
    return true;
}
