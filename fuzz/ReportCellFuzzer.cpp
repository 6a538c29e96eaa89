// The report control's cell encoding: arbitrary cell strings, read and edited by random
// operations. An edit of one cell never changes another, and reads back as written.
#include "widgets/ReportCellCodec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Cell indexes run from -1 to a little past the usual column count.
constexpr int kHighestIndex = 12;

struct Cell {
    int32_t image;
    int32_t check;
    int32_t textColor;
    bool hasText;
    std::string text;

    bool operator==(const Cell&) const = default;
};

// Every cell that reads, in order, up to the first that does not.
std::vector<Cell> ReadAll(std::string_view cells) {
    std::vector<Cell> all;
    ReportCellView view;
    for (int k = 0; ReportCellCodec::Read(cells, k, view); ++k) {
        all.push_back(
            {view.image, view.check, view.textColor, view.hasText, std::string(view.text)});
    }
    return all;
}

void Expect(bool holds) {
    if (!holds) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::string cells = input.ConsumeRandomLengthString(300);
    if (input.ConsumeBool()) {
        cells = ReportCellCodec::EmptyCells(input.ConsumeIntegralInRange(0, kHighestIndex)) + cells;
    }
    for (int step = 0; step < 16 && input.remaining_bytes() > 0; ++step) {
        // 0 reads, 1 writes with a text, 2 without one, 3 inserts an empty cell.
        const int operation = input.ConsumeIntegralInRange(0, 3);
        const int k = input.ConsumeIntegralInRange(-1, kHighestIndex);
        std::vector<Cell> expected = ReadAll(cells);
        const bool exists = k >= 0 && static_cast<std::size_t>(k) < expected.size();
        ReportCellView view;
        if (operation == 0) {
            Expect(ReportCellCodec::Read(cells, k, view) == exists);
            continue;
        }
        if (operation == 3) {
            // Past the readable cells the empty one goes at the end of the whole string, where
            // it reads only when everything before it does.
            ReportCellCodec::InsertEmpty(cells, k);
            if (exists) {
                expected.insert(expected.begin() + k, Cell{-1, -1, -1, false, {}});
                Expect(ReadAll(cells) == expected);
            }
            continue;
        }
        const Cell cell{input.ConsumeIntegral<int32_t>(), input.ConsumeIntegral<int32_t>(),
                        input.ConsumeIntegral<int32_t>(), operation == 1,
                        input.ConsumeRandomLengthString(40)};
        std::optional<std::string_view> written;
        if (cell.hasText) {
            written = cell.text;
        }
        Expect(ReportCellCodec::Write(cells, k, cell.image, cell.check, cell.textColor, written) ==
               exists);
        if (exists) {
            expected[static_cast<std::size_t>(k)] = cell;
            if (!cell.hasText) {
                expected[static_cast<std::size_t>(k)].text.clear();
            }
            Expect(ReadAll(cells) == expected);
        }
    }
    return 0;
}
