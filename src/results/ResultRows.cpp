#include "results/ResultRows.h"

#include <algorithm>

ResultRows::ResultRows(ResultList& list) : results(list) {
    Reset();
}

void ResultRows::Reset() {
    const auto count = static_cast<std::size_t>(results.Count());
    order.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        order[i] = static_cast<int32_t>(i);
    }
    selected.assign(count, false);
}

int32_t ResultRows::Count() const {
    return static_cast<int32_t>(order.size());
}

int32_t ResultRows::ItemAt(int32_t position) const {
    if (position < 0 || position >= Count()) {
        return kNone;
    }
    return order[static_cast<std::size_t>(position)];
}

int32_t ResultRows::FirstSelected() const {
    const auto found = std::find(selected.begin(), selected.end(), true);
    if (found == selected.end()) {
        return kNone;
    }
    return static_cast<int32_t>(found - selected.begin());
}

void ResultRows::SelectOnly(int32_t item) {
    std::fill(selected.begin(), selected.end(), false);
    if (item >= 0 && static_cast<std::size_t>(item) < selected.size()) {
        selected[static_cast<std::size_t>(item)] = true;
    }
}

void ResultRows::RemoveItem(int32_t item) {
    if (item < 0 || static_cast<std::size_t>(item) >= selected.size()) {
        return;
    }
    results.Remove(item);
    selected.erase(selected.begin() + item);
    order.erase(std::remove(order.begin(), order.end(), item), order.end());
    for (int32_t& entry : order) {
        if (entry > item) {
            --entry;
        }
    }
}
