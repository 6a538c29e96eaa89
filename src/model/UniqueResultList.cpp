#include "model/UniqueResultList.h"

#include "model/AddressKey.h"

bool UniqueResultList::AddUnique(const SearchResult& result, KeyKind kind) {
    std::string title(result.title.view());
    // Two addresses of the same page (scheme or host in other letter case, the default port
    // written out, a fragment) count as one.
    std::string address = AddressKey::Normalise(result.address.view());
    if (kind == KeyKind::ByTitle && m_titles.count(title) != 0) {
        ++m_duplicates;
        return false;
    }
    if (kind == KeyKind::ByAddress && m_addresses.count(address) != 0) {
        ++m_duplicates;
        return false;
    }
    m_list.Add(result);
    m_titles.insert(std::move(title));
    m_addresses.insert(std::move(address));
    return true;
}

int32_t UniqueResultList::DuplicateCount() const {
    return m_duplicates;
}

void UniqueResultList::Clear() {
    m_list.Clear();
    m_titles.clear();
    m_addresses.clear();
}

int32_t UniqueResultList::Count() const {
    return m_list.Count();
}

const SearchResult* UniqueResultList::Get(int32_t index) const {
    return m_list.Get(index);
}
