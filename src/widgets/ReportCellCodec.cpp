#include "widgets/ReportCellCodec.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>

namespace {

constexpr char kCellOpen = '(';
constexpr char kNumberSeparator = ',';
constexpr char kCellClose = ')';
constexpr char kCellEnd = '|';
// The four numbers of a cell: image, check, text colour, text length.
constexpr int kCellNumbers = 4;
// Room for one number in decimal, sign included.
constexpr std::size_t kNumberRoom = 12;

void AppendNumber(std::string& out, int32_t value) {
    std::array<char, kNumberRoom> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), result.ptr);
}

// Reads a decimal number at pos and steps past it and the character that must follow it.
bool ReadNumber(std::string_view text, std::size_t& pos, char follower, int32_t& value) {
    const char* first = text.data() + pos;
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc() || result.ptr == last || *result.ptr != follower) {
        return false;
    }
    pos = static_cast<std::size_t>(result.ptr - text.data()) + 1;
    return true;
}

} // namespace

std::string ReportCellCodec::EmptyCells(int count) {
    std::string cells;
    cells.reserve(kEmptyCell.size() * static_cast<std::size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
        cells += kEmptyCell;
    }
    return cells;
}

bool ReportCellCodec::ParseAt(std::string_view cells, std::size_t begin, ReportCellView& cell,
                              std::size_t& end) {
    if (begin >= cells.size() || cells[begin] != kCellOpen) {
        return false;
    }
    std::size_t pos = begin + 1;
    std::array<int32_t, kCellNumbers> numbers{};
    for (int i = 0; i < kCellNumbers; ++i) {
        const char follower = i + 1 < kCellNumbers ? kNumberSeparator : kCellClose;
        if (!ReadNumber(cells, pos, follower, numbers[static_cast<std::size_t>(i)])) {
            return false;
        }
    }
    const int32_t length = numbers[3];
    cell.image = numbers[0];
    cell.check = numbers[1];
    cell.textColor = numbers[2];
    cell.hasText = length >= 0;
    cell.text = {};
    if (cell.hasText) {
        if (static_cast<std::size_t>(length) > cells.size() - pos) {
            return false;
        }
        cell.text = cells.substr(pos, static_cast<std::size_t>(length));
        pos += static_cast<std::size_t>(length);
    }
    if (pos >= cells.size() || cells[pos] != kCellEnd) {
        return false;
    }
    end = pos + 1;
    return true;
}

bool ReportCellCodec::Locate(std::string_view cells, int k, std::size_t& begin, std::size_t& end,
                             ReportCellView& cell) {
    if (k < 0) {
        return false;
    }
    std::size_t pos = 0;
    for (int i = 0; i <= k; ++i) {
        begin = pos;
        if (!ParseAt(cells, begin, cell, end)) {
            return false;
        }
        pos = end;
    }
    return true;
}

bool ReportCellCodec::Read(std::string_view cells, int k, ReportCellView& cell) {
    std::size_t begin = 0;
    std::size_t end = 0;
    return Locate(cells, k, begin, end, cell);
}

bool ReportCellCodec::Write(std::string& cells, int k, int32_t image, int32_t check,
                            int32_t textColor, std::optional<std::string_view> text) {
    std::size_t begin = 0;
    std::size_t end = 0;
    ReportCellView old;
    if (!Locate(cells, k, begin, end, old)) {
        return false;
    }
    // A text taken from this very string is copied before the string moves under it.
    std::string own;
    const std::less<const char*> before;
    if (text && !text->empty() && !before(text->data(), cells.data()) &&
        before(text->data(), cells.data() + cells.size())) {
        own = std::string(*text);
        text = own;
    }
    std::string head;
    head.reserve(kCellNumbers * kNumberRoom + 2);
    head += kCellOpen;
    AppendNumber(head, image);
    head += kNumberSeparator;
    AppendNumber(head, check);
    head += kNumberSeparator;
    AppendNumber(head, textColor);
    head += kNumberSeparator;
    AppendNumber(head, text ? static_cast<int32_t>(text->size()) : -1);
    head += kCellClose;
    // The slot is resized in place and filled, so the cell is not built a second time.
    const std::size_t textSize = text ? text->size() : 0;
    cells.replace(begin, end - begin, head.size() + textSize + 1, kCellEnd);
    std::copy(head.begin(), head.end(), cells.begin() + static_cast<std::ptrdiff_t>(begin));
    if (textSize > 0) {
        std::copy(text->begin(), text->end(),
                  cells.begin() + static_cast<std::ptrdiff_t>(begin + head.size()));
    }
    return true;
}

void ReportCellCodec::InsertEmpty(std::string& cells, int k) {
    std::size_t begin = 0;
    std::size_t end = 0;
    ReportCellView cell;
    if (!Locate(cells, k, begin, end, cell)) {
        cells += kEmptyCell;
        return;
    }
    cells.insert(begin, kEmptyCell);
}
