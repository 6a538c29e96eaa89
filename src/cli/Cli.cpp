#include "cli/Cli.h"

#include "model/EngineFile.h"
#include "results/ResultsFile.h"
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
    return OptionsStore::FindAppPath(line.Value("--app-path"));
}

bool Cli::EngineFolder(const CommandLine& line, std::string& folder, std::string& error) {
    folder = ProgramFolder(line);
    std::error_code code;
    const std::filesystem::path root(folder);
    const bool engines = std::filesystem::is_directory(root / "Site", code) ||
                         std::filesystem::is_directory(root / "User", code);
    if (!engines) {
        error = "program folder " + folder + " holds neither a Site nor a User folder";
    }
    return engines;
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

bool Cli::ReadEngine(const std::string& path, EngineDefinition& engine, std::string& error) {
    std::string lack;
    switch (EngineFile::ReadEngineFile(path, engine, &lack)) {
    case EngineFile::ReadResult::Read:
        return true;
    case EngineFile::ReadResult::Missing:
        error = "engine file " + path + " does not exist";
        return false;
    case EngineFile::ReadResult::Unreadable:
        error = "cannot read engine file " + path;
        return false;
    case EngineFile::ReadResult::NoEngine:
        error = "engine file " + path + " holds no engine: " + lack;
        return false;
    }
    return false;
}

bool Cli::ReadResults(const std::string& path, ResultList& list, std::string& error) {
    const ResultsFile::Opened opened = ResultsFile::Open(list, path);
    if (opened.refusal != ResultsFile::Refusal::None) {
        error = ResultsFile::RefusalText(path, opened.refusal);
        return false;
    }
    if (opened.endCut) {
        std::fprintf(stderr, "Note: %s\n", ResultsFile::CutNote(path).c_str());
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
