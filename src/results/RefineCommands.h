#pragma once

#include "model/UniqueResultList.h"
#include "results/ResultRows.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class MessageSink;

// Delete, Delete duplicate titles, Delete duplicate addresses and the Refine dialog's run of
// them. Each walks the items from the last index down to 0 and returns the item indexes it
// removed, in the order it removed them, so the view can remove the same rows from its control.
class RefineCommands {
  public:
    static constexpr std::string_view kDeletedTitlesText = "Deleted number of repeated Titles: ";
    static constexpr std::string_view kDeletedAddressesText =
        "Deleted number of repeated Addresses: ";

    // What the Refine dialog's boxes ask for; all three start checked.
    struct RefineChoice {
        bool deleteDuplicateTitles = true;
        bool deleteDuplicateAddresses = true;
        bool validate = true;
    };

    // Removes every selected item.
    static std::vector<int32_t> DeleteSelected(ResultRows& rows);
    // Removes every item whose title (or address) a later item has too, exactly, letter case
    // included, so of equal results the last one received stays. Shows the number removed in an
    // "Information" box.
    static std::vector<int32_t> DeleteDuplicates(ResultRows& rows, UniqueResultList::KeyKind key,
                                                 MessageSink& messages);
    // The Refine button: duplicate addresses, then duplicate titles, then validateAll (the link
    // validation of every row), each when its box is checked. Returns the removed items.
    static std::vector<int32_t> Refine(ResultRows& rows, const RefineChoice& choice,
                                       MessageSink& messages,
                                       const std::function<void()>& validateAll);
};
