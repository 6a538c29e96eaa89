// The report control's cell encoding: arbitrary cell strings, read and edited by random
// operations. An edit of one cell never changes another, and reads back as written.
#include "widgets/ReportCellCodec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxCells = 300;
constexpr std::size_t kMaxText = 40;
constexpr int kMaxOperations = 16;
// Cell indexes a little past the usual column count, and one negative.
constexpr int kLowestIndex = -1;
constexpr int kHighestIndex = 12;

enum class Operation { Read, Write, WriteNoText, Insert, Count };

struct Cell {
    int32_t image;
    int32_t check;
    int32_t textColor;
    bool hasText;
    std::string text;

    bool operator==(const Cell&) const = default;
};

// Every cell that reads, in order, up to the first that does not.
std::vector<Cell> readAll(std::string_view cells) {
    std::vector<Cell> all;
    ReportCellView view;
    for (int k = 0; ReportCellCodec::Read(cells, k, view); ++k) {
        all.push_back(
            {view.image, view.check, view.textColor, view.hasText, std::string(view.text)});
    }
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::string cells = input.ConsumeRandomLengthString(kMaxCells);
    if (input.ConsumeBool()) {
        cells = ReportCellCodec::EmptyCells(input.ConsumeIntegralInRange(0, kHighestIndex)) + cells;
    }
    for (int step = 0; step < kMaxOperations && input.remaining_bytes() > 0; ++step) {
        const auto operation = static_cast<Operation>(
            input.ConsumeIntegralInRange<int>(0, static_cast<int>(Operation::Count) - 1));
        const int k = input.ConsumeIntegralInRange(kLowestIndex, kHighestIndex);
        const std::vector<Cell> before = readAll(cells);
        const bool exists = k >= 0 && static_cast<std::size_t>(k) < before.size();
        if (operation == Operation::Read) {
            ReportCellView view;
            if (ReportCellCodec::Read(cells, k, view) != exists) {
                std::abort();
            }
            continue;
        }
        if (operation == Operation::Insert) {
            ReportCellCodec::InsertEmpty(cells, k);
            std::vector<Cell> expected = before;
            const Cell empty{-1, -1, -1, false, {}};
            // Past the readable cells the empty one goes at the end of the whole string, where
            // it reads only when everything before it does.
            if (exists) {
                expected.insert(expected.begin() + k, empty);
                if (readAll(cells) != expected) {
                    std::abort();
                }
            }
            continue;
        }
        const auto image = input.ConsumeIntegral<int32_t>();
        const auto check = input.ConsumeIntegral<int32_t>();
        const auto color = input.ConsumeIntegral<int32_t>();
        const std::string text = input.ConsumeRandomLengthString(kMaxText);
        const bool withText = operation == Operation::Write;
        std::optional<std::string_view> written;
        if (withText) {
            written = text;
        }
        if (ReportCellCodec::Write(cells, k, image, check, color, written) != exists) {
            std::abort();
        }
        if (!exists) {
            continue;
        }
        std::vector<Cell> expected = before;
        expected[static_cast<std::size_t>(k)] = {image, check, color, withText,
                                                 withText ? text : std::string()};
        if (readAll(cells) != expected) {
            std::abort();
        }
    }
    return 0;
}
