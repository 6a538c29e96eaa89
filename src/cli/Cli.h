#pragma once

#include "cli/CommandLine.h"
#include "model/EngineDefinition.h"
#include "model/ResultList.h"

#include <string>

// What every verb of the headless front end shares: exit codes, error lines, the program
// folder option and whole-file reading.
class Cli {
  public:
    static constexpr int kExitOk = 0;
    // Bad input: a missing or unreadable file, a bad option. Nothing has been written.
    static constexpr int kExitBadInput = 2;
    static constexpr const char* kProgramName = "vantorell-search";

    // Prints "vantorell-search: <text>" as one line on stderr and returns kExitBadInput.
    static int Fail(const std::string& text);
    // Prints usage to stdout and returns kExitOk.
    static int Help(const char* usage);
    // The program folder of this run: --app-path when given, else the usual search
    // (OptionsStore::FindAppPath, which creates nothing).
    static std::string ProgramFolder(const CommandLine& line);
    // The program folder of a verb that needs engines; false with a line naming the folder in
    // error when it holds neither a Site nor a User folder.
    static bool EngineFolder(const CommandLine& line, std::string& folder, std::string& error);
    // Reads the whole file; false with a reason in error when it cannot.
    static bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);
    // Reads one engine file; false with a line naming the file and the cause in error when it
    // is missing, cannot be read or holds no engine.
    static bool ReadEngine(const std::string& path, EngineDefinition& engine, std::string& error);
    // Reads a results file into list; false with "PATH: CAUSE" in error when it is refused. A
    // file whose end was cut is read, with a note on stderr.
    static bool ReadResults(const std::string& path, ResultList& list, std::string& error);
    // Reads a positive decimal number; false when text is anything else.
    static bool ParsePositive(const std::string& text, long& value);
};
