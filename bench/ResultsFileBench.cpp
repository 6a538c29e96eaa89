// Measures saving and reopening 5000 results as a results file (encoding, the safe replace
// through a temporary file, reading, decoding) against a plain write and read of the same bytes
// in the same run, and prints the ratio of the two times (the best of several rounds of each).

#include "platform/AtomicFile.h"
#include "results/ResultsFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kResults = 5000;
constexpr int kRounds = 15;
// Every this many results has a summary with a line feed, which the file writes as CR LF.
constexpr int kLineFeedEvery = 10;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr double kRatioGoal = 3.0;

ResultList makeResults() {
    ResultList list;
    for (int i = 0; i < kResults; ++i) {
        const std::string n = std::to_string(i);
        std::string summary = "This is the summary of result " + n +
                              ", a sentence or two of text as the engines give it, around two "
                              "hundred bytes in all, with some words to make it as long.";
        if (i % kLineFeedEvery == 0) {
            summary += "\nA second line.";
        }
        list.Add("Result number " + n + " and its title",
                 "http://www.example.com/r/" + n + "/page.html", summary, "Bench");
    }
    return list;
}

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

bool plainWrite(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::string plainRead(const std::string& path, std::size_t size) {
    std::string bytes(size, '\0');
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return {};
    }
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return bytes;
}

} // namespace

int main() {
    std::string folderPattern =
        std::filesystem::temp_directory_path().string() + "/vantorell-bench-XXXXXX";
    std::vector<char> folder(folderPattern.begin(), folderPattern.end());
    folder.push_back('\0');
    if (::mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string plainPath = std::string(folder.data()) + "/plain.vnr";
    const std::string resultsPath = std::string(folder.data()) + "/results.vnr";

    const ResultList list = makeResults();
    const std::string bytes = ResultsFile::Encode(list);

    // The two are timed in turn in every round, so both meet the same load of a shared machine.
    double plainBest = 1e9;
    double resultsBest = 1e9;
    // Where the time goes: the safe replace alone, and the format work in memory alone.
    double plainWriteBest = 1e9;
    double safeWriteBest = 1e9;
    double formatBest = 1e9;
    std::size_t plainSize = 0;
    int32_t reopened = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto plainStart = std::chrono::steady_clock::now();
        plainWrite(plainPath, bytes);
        plainSize = plainRead(plainPath, bytes.size()).size();
        plainBest = std::min(plainBest, seconds(std::chrono::steady_clock::now() - plainStart));

        const auto resultsStart = std::chrono::steady_clock::now();
        ResultsFile::WriteResultsFile(list, resultsPath);
        ResultList read;
        ResultsFile::ReadResultsFile(read, resultsPath);
        resultsBest =
            std::min(resultsBest, seconds(std::chrono::steady_clock::now() - resultsStart));
        reopened = read.Count();

        const auto plainWriteStart = std::chrono::steady_clock::now();
        plainWrite(plainPath, bytes);
        plainWriteBest =
            std::min(plainWriteBest, seconds(std::chrono::steady_clock::now() - plainWriteStart));
        const auto safeWriteStart = std::chrono::steady_clock::now();
        AtomicFile::Write(resultsPath, bytes);
        safeWriteBest =
            std::min(safeWriteBest, seconds(std::chrono::steady_clock::now() - safeWriteStart));
        const auto formatStart = std::chrono::steady_clock::now();
        ResultList decoded;
        ResultsFile::Decode(ResultsFile::Encode(list), decoded);
        formatBest = std::min(formatBest, seconds(std::chrono::steady_clock::now() - formatStart));
    }
    std::filesystem::remove_all(folder.data());

    std::printf("results file: %zu bytes, %d results saved, %d reopened, plain read %zu bytes\n",
                bytes.size(), kResults, reopened, plainSize);
    std::printf("plain write and read: %.3f ms\n", plainBest * kMillisecondsPerSecond);
    std::printf("save and reopen: %.3f ms\n", resultsBest * kMillisecondsPerSecond);
    std::printf("  of which: safe replace %.3f ms (a plain write: %.3f ms), encode and decode in "
                "memory %.3f ms\n",
                safeWriteBest * kMillisecondsPerSecond, plainWriteBest * kMillisecondsPerSecond,
                formatBest * kMillisecondsPerSecond);
    std::printf("ratio save and reopen/plain: %.2f (goal: at most %.0f)\n", resultsBest / plainBest,
                kRatioGoal);
    return reopened == kResults && plainSize == bytes.size() ? 0 : 1;
}
