#pragma once

#include "results/LinkCheckTarget.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Link validation's target on a terminal: prints one line per address, "<state>\t<address>",
// in the order the addresses were given, each as soon as it and every address before it are
// known. The row of an address is its index in that order.
class ValidationPrinter : public LinkCheckTarget {
  public:
    ValidationPrinter(std::FILE* out, std::vector<std::string> addresses,
                      std::function<void()> onAllChecked);

    void OnRowState(int32_t row, LinkState state) override;
    void OnAllChecked() override;

    // Lines printed so far.
    int Printed() const;

  private:
    void PrintReady();

    std::FILE* m_out;
    std::vector<std::string> m_addresses;
    std::vector<LinkState> m_states;
    std::size_t m_next = 0;
    std::function<void()> m_onAllChecked;
};
