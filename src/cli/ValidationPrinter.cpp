#include "cli/ValidationPrinter.h"

ValidationPrinter::ValidationPrinter(std::FILE* out, std::vector<std::string> addresses,
                                     std::function<void()> onAllChecked)
    : m_out(out), m_addresses(std::move(addresses)),
      m_states(m_addresses.size(), LinkState::NotChecked), m_onAllChecked(std::move(onAllChecked)) {
}

void ValidationPrinter::OnRowState(int32_t row, LinkState state) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_states.size()) {
        return;
    }
    // A failed exchange that still completes reports twice; the first state stands, so a
    // printed line never disagrees with the state kept.
    LinkState& kept = m_states[static_cast<std::size_t>(row)];
    if (kept == LinkState::NotChecked) {
        kept = state;
    }
    PrintReady();
}

void ValidationPrinter::OnAllChecked() {
    PrintReady();
    if (m_onAllChecked) {
        m_onAllChecked();
    }
}

int ValidationPrinter::Printed() const {
    return static_cast<int>(m_next);
}

void ValidationPrinter::PrintReady() {
    while (m_next < m_states.size() && m_states[m_next] != LinkState::NotChecked) {
        const std::string& address = m_addresses[m_next];
        std::fprintf(m_out, "%d\t", static_cast<int>(m_states[m_next]));
        std::fwrite(address.data(), 1, address.size(), m_out);
        std::fputc('\n', m_out);
        ++m_next;
    }
    std::fflush(m_out);
}
