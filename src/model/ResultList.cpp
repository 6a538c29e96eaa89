#include "model/ResultList.h"

int32_t ResultList::Add(const SearchResult& result) {
    // Copy the texts only, so the slack of a record read from elsewhere does not travel along.
    return Add(result.title.view(), result.address.view(), result.summary.view(),
               result.engine.view());
}

int32_t ResultList::Add(std::string_view title, std::string_view address,
                        std::string_view summary, std::string_view engine) {
    m_items.emplace_back(title, address, summary, engine);
    return Count();
}

int32_t ResultList::Count() const {
    return static_cast<int32_t>(m_items.size());
}

void ResultList::Reserve(int32_t count) {
    if (count > 0) {
        m_items.reserve(static_cast<std::size_t>(count));
    }
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
