#pragma once

#include "model/Utf8Cut.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// A zero-terminated 8-bit text of fixed capacity, as stored in the program's records and files.
// The capacity counts the terminating zero, so at most Capacity - 1 bytes of text fit. Every
// assignment cuts what does not fit (and stops at an embedded zero byte), so no write can ever
// run past the field; the cut never splits a UTF-8 character (see Utf8Cut).
template <std::size_t Capacity> class FixedText {
    static_assert(Capacity >= 1, "a field needs room for its terminating zero");

  public:
    static constexpr std::size_t kCapacity = Capacity;
    static constexpr std::size_t kMaxLength = Capacity - 1;

    FixedText() {
        clear();
    }
    FixedText(std::string_view text) {
        set(text);
    }

    // Stores text, cut at its first zero byte and to kMaxLength bytes. Returns false when
    // anything was cut away because it did not fit.
    bool set(std::string_view text) {
        const std::size_t zero = text.find('\0');
        if (zero != std::string_view::npos) {
            text = text.substr(0, zero);
        }
        const bool fits = text.size() <= kMaxLength;
        const std::size_t length = fits ? text.size() : Utf8Cut::Length(text, kMaxLength);
        if (length > 0) {
            std::memcpy(m_data, text.data(), length);
        }
        std::memset(m_data + length, 0, Capacity - length);
        return fits;
    }

    void clear() {
        std::memset(m_data, 0, Capacity);
    }

    std::string_view view() const {
        return std::string_view(m_data, size());
    }
    std::string str() const {
        return std::string(view());
    }
    const char* c_str() const {
        return m_data;
    }
    std::size_t size() const {
        return ::strnlen(m_data, kMaxLength);
    }
    bool empty() const {
        return m_data[0] == '\0';
    }

    // The whole slot, terminator and slack included, for fixed-width records.
    const char* slot() const {
        return m_data;
    }

    bool operator==(std::string_view other) const {
        return view() == other;
    }
    bool operator==(const FixedText& other) const {
        return view() == other.view();
    }

  private:
    char m_data[Capacity];
};
