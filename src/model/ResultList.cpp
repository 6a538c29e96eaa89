#include "model/ResultList.h"

int32_t ResultList::Add(const SearchResult& result) {
    // Copy the texts only, so the slack of a record read from elsewhere does not travel along.
    SearchResult copy;
    copy.title.set(result.title.view());
    copy.address.set(result.address.view());
    copy.summary.set(result.summary.view());
    copy.engine.set(result.engine.view());
    m_items.push_back(copy);
    return Count();
}

int32_t ResultList::Count() const {
    return static_cast<int32_t>(m_items.size());
}

SearchResult* ResultList::Get(int32_t index) {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return &m_items[static_cast<std::size_t>(index)];
}

const SearchResult* ResultList::Get(int32_t index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return &m_items[static_cast<std::size_t>(index)];
}

void ResultList::Remove(int32_t index) {
    if (index < 0 || index >= Count()) {
        return;
    }
    m_items.erase(m_items.begin() + index);
}

void ResultList::Clear() {
    m_items.clear();
}
