#pragma once

#include "model/ResultList.h"

#include <cstdint>
#include <vector>

// The results view's rows as plain data, for the commands that thin out and search them. Item
// i is result i of the session list; the view may show the items in another (sorted) order,
// and selection belongs to items. Deleting an item removes its result at the same index, so
// the rows and the list stay aligned, and renumbers the items above it as the report control
// does.
struct ResultRows {
    // Item and display position functions answer this for none.
    static constexpr int32_t kNone = -2;

    // One row per result of list, in item order, none selected.
    explicit ResultRows(ResultList& list);

    // Back to one row per result in item order, none selected.
    void Reset();
    int32_t Count() const;
    // The item shown at a display position, or kNone.
    int32_t ItemAt(int32_t position) const;
    // The lowest selected item index, whatever the display order, or kNone.
    int32_t FirstSelected() const;
    // Selects the item alone, as a plain click does.
    void SelectOnly(int32_t item);
    // Removes the item, its result and its row; items above it move down by one.
    void RemoveItem(int32_t item);

    // The session's results; item i is result i.
    ResultList& results;
    // Display position to item index.
    std::vector<int32_t> order;
    // Selection by item index.
    std::vector<bool> selected;
};
