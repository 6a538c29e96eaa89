#include "search/ResponseBuffer.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kFirstCapacity = 16 * 1024;

} // namespace

ResponseBuffer::~ResponseBuffer() {
    Release();
}

bool ResponseBuffer::Append(const char* bytes, std::size_t size) {
    if (size == 0) {
        return true;
    }
    if (size > m_capacity - m_size) {
        std::size_t capacity = m_capacity == 0 ? kFirstCapacity : m_capacity;
        while (capacity - m_size < size) {
            if (capacity > SIZE_MAX / 2) {
                return false;
            }
            capacity *= 2;
        }
        char* grown = static_cast<char*>(std::realloc(m_data, capacity));
        if (grown == nullptr) {
            return false;
        }
        m_data = grown;
        m_capacity = capacity;
    }
    std::memcpy(m_data + m_size, bytes, size);
    m_size += size;
    return true;
}

void ResponseBuffer::Release() {
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}

std::string_view ResponseBuffer::View() const {
    return std::string_view(m_data == nullptr ? "" : m_data, m_size);
}

std::size_t ResponseBuffer::Size() const {
    return m_size;
}

bool ResponseBuffer::Empty() const {
    return m_size == 0;
}
