#include "results/LinkCheckManager.h"

#include "results/LinkCheckTarget.h"

#include <algorithm>

LinkCheckManager::LinkCheckManager() : m_link(std::make_shared<LinkCheckLink>()) {
    m_link->manager = this;
}

LinkCheckManager::~LinkCheckManager() {
    StopAll();
    m_link->manager = nullptr;
}

void LinkCheckManager::SetTarget(LinkCheckTarget* target) {
    m_target = target;
}

void LinkCheckManager::Add(std::string_view address, int32_t row) {
    // A queue entry uses only the address and, in its page state, the row.
    SearchJob entry;
    if (!entry.url.set(address)) {
        entry.url.clear();
    }
    entry.pageState = static_cast<uint32_t>(row);
    m_queue.Enqueue(entry);
}

void LinkCheckManager::StartChecks() {
    for (int slot = 0; slot < kMaxCheckers && m_queue.Count() > 0; ++slot) {
        if (m_slots[static_cast<std::size_t>(slot)] == nullptr) {
            StartChecker(slot);
        }
    }
}

void LinkCheckManager::StartChecker(int slot) {
    const SearchJob* entry = m_queue.GetAt(0);
    if (entry == nullptr) {
        return;
    }
    auto checker = std::make_shared<CURLCheck>();
    checker->Setup(m_link, slot);
    checker->SetRequest(entry->url.view(), static_cast<int32_t>(entry->pageState));
    m_queue.RemoveFirst();
    m_slots[static_cast<std::size_t>(slot)] = checker;
    checker->Start();
}

void LinkCheckManager::StopAll() {
    for (std::shared_ptr<CURLCheck>& checker : m_slots) {
        if (checker != nullptr) {
            checker->Stop();
            checker.reset();
        }
    }
    m_queue.Clear();
}

int LinkCheckManager::Waiting() const {
    return m_queue.Count();
}

int LinkCheckManager::Running() const {
    return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(),
                                          [](const auto& checker) { return checker != nullptr; }));
}

void LinkCheckManager::OnRowState(CURLCheck& checker, LinkState state) {
    if (m_target != nullptr) {
        m_target->OnRowState(checker.Row(), state);
    }
}

void LinkCheckManager::OnCheckerEnded(CURLCheck& checker) {
    const int slot = checker.Slot();
    if (slot < 0 || slot >= kMaxCheckers) {
        return;
    }
    std::shared_ptr<CURLCheck>& occupant = m_slots[static_cast<std::size_t>(slot)];
    if (occupant.get() != &checker) {
        return;
    }
    occupant.reset();
    if (m_queue.Count() > 0) {
        StartChecker(slot);
        return;
    }
    if (Running() == 0 && m_target != nullptr) {
        m_target->OnAllChecked();
    }
}

int32_t LinkCheckManager::DeleteInvalid(int32_t rowCount,
                                        const std::function<LinkState(int32_t)>& stateOf,
                                        const std::function<void(int32_t)>& removeRow) {
    int32_t removed = 0;
    for (int32_t row = rowCount - 1; row >= 0; --row) {
        if (stateOf(row) == LinkState::Invalid) {
            removeRow(row);
            ++removed;
        }
    }
    return removed;
}
