#include "search/ResponseBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

namespace {

constexpr std::size_t kFirstCapacity = 16 * 1024;
// How much memory Room makes resident ahead at least.
constexpr std::size_t kPrefaultStep = 1024 * 1024;
// The bits of an address within its memory page.
constexpr std::uintptr_t kPageMask = 4096 - 1;

} // namespace

ResponseBuffer::~ResponseBuffer() {
    Release();
}

bool ResponseBuffer::Append(const char* bytes, std::size_t size) {
    if (size == 0) {
        return true;
    }
    if (!Grow(size)) {
        return false;
    }
    std::memcpy(m_data + m_size, bytes, size);
    m_size += size;
    return true;
}

char* ResponseBuffer::Room(std::size_t size) {
    if (!Grow(size)) {
        return nullptr;
    }
    // Ahead by a step at a time, so a large answer costs few calls.
    Prefault(std::min(m_capacity, m_size + std::max(size, kPrefaultStep)));
    return m_data + m_size;
}

void ResponseBuffer::Prefault(std::size_t end) {
    const std::size_t begin = std::max(m_prefaulted, m_size);
    if (end <= begin) {
        return;
    }
    // One call makes the whole range resident; where the system cannot, the pages are touched.
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(m_data + begin) & ~kPageMask;
    const std::uintptr_t last = reinterpret_cast<std::uintptr_t>(m_data + end);
    if (::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE) != 0) {
        std::memset(m_data + begin, 0, end - begin);
    }
    m_prefaulted = end;
}

void ResponseBuffer::Commit(std::size_t size) {
    m_size += std::min(size, m_capacity - m_size);
}

bool ResponseBuffer::Grow(std::size_t size) {
    if (size <= m_capacity - m_size) {
        return true;
    }
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
    return true;
}

void ResponseBuffer::Release() {
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
    m_prefaulted = 0;
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
