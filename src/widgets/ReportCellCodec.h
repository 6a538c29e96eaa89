#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One cell as read from an item's cell string; the text points into that string.
struct ReportCellView {
    int32_t image = -1;
    int32_t check = -1;
    int32_t textColor = -1;
    // False for a cell without any text, as opposed to an empty text.
    bool hasText = false;
    std::string_view text;
};

// The cell string of an item: every cell, in sub-item order, written as
// "(image,check,colour,length)text|", where length is the text's length in bytes or -1 for a
// cell without text, and an empty cell is "(-1,-1,-1,-1)|".
//
// A cell is read by its length rather than by searching for the next "|", so a "|" inside a
// text stays part of that text and leaves the other cells of the item as they were.
class ReportCellCodec {
  public:
    static constexpr std::string_view kEmptyCell = "(-1,-1,-1,-1)|";

    // count empty cells.
    static std::string EmptyCells(int count);
    // Reads cell k; false when there is no such cell.
    static bool Read(std::string_view cells, int k, ReportCellView& cell);
    // Replaces cell k with the given numbers and text (nothing: no text); false when there is
    // no such cell.
    static bool Write(std::string& cells, int k, int32_t image, int32_t check, int32_t textColor,
                      std::optional<std::string_view> text);
    // Inserts an empty cell before cell k, or at the end when there are only k cells or fewer.
    static void InsertEmpty(std::string& cells, int k);

  private:
    // Parses the cell that starts at begin; end receives the position after its "|".
    static bool ParseAt(std::string_view cells, std::size_t begin, ReportCellView& cell,
                        std::size_t& end);
    // Finds cell k: begin and end (after its "|"). False when there is no such cell.
    static bool Locate(std::string_view cells, int k, std::size_t& begin, std::size_t& end,
                       ReportCellView& cell);
};
