// Measures saving and reopening 5000 results as a results file (encoding, the safe replace
// through a temporary file, reading, decoding) against a durable plain write and a read of the
// same bytes in the same run, and prints the ratio of the two times (the best of several rounds
// of each). The durable plain write is what any careful program pays to put bytes on disk so
// that a crash keeps either the old file or the new one: write a temporary file, flush it,
// rename it over the target, flush the folder.

#include "platform/AtomicFile.h"
#include "results/ResultsFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kResults = 5000;
constexpr int kRounds = 15;
// Every this many results has a summary with a line feed, which the file writes as CR LF.
constexpr int kLineFeedEvery = 10;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr double kRatioGoal = 1.5;

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

bool writeAll(int descriptor, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t result = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (result <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(result);
    }
    return true;
}

bool syncFolder(const std::string& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0) {
        return false;
    }
    const bool synced = ::fsync(descriptor) == 0;
    return ::close(descriptor) == 0 && synced;
}

// Write, flush, rename over the target, flush the folder.
bool durableWrite(const std::string& folder, const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (descriptor < 0) {
        return false;
    }
    const bool written = writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    if (::close(descriptor) != 0 || !written) {
        return false;
    }
    return ::rename(temporary.c_str(), path.c_str()) == 0 && syncFolder(folder);
}

std::string plainRead(const std::string& path, std::size_t size) {
    std::string bytes(size, '\0');
    const int descriptor = ::open(path.c_str(), O_RDONLY);
    if (descriptor < 0) {
        return {};
    }
    const ssize_t got = ::read(descriptor, bytes.data(), bytes.size());
    ::close(descriptor);
    bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
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
        durableWrite(folder.data(), plainPath, bytes);
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
        durableWrite(folder.data(), plainPath, bytes);
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
    std::printf("durable plain write and read: %.3f ms\n", plainBest * kMillisecondsPerSecond);
    std::printf("save and reopen: %.3f ms\n", resultsBest * kMillisecondsPerSecond);
    std::printf(
        "  of which: safe replace %.3f ms (a durable plain write: %.3f ms), encode and decode in "
        "memory %.3f ms\n",
        safeWriteBest * kMillisecondsPerSecond, plainWriteBest * kMillisecondsPerSecond,
        formatBest * kMillisecondsPerSecond);
    std::printf("ratio save and reopen / durable plain: %.2f (goal: at most %.1f)\n",
                resultsBest / plainBest, kRatioGoal);
    return reopened == kResults && plainSize == bytes.size() ? 0 : 1;
}
