#pragma once

#include <cstddef>
#include <string_view>

// The bytes of one HTTP answer, kept whole. It grows by doubling through realloc, which moves
// large blocks by remapping pages rather than copying them, so a page of tens of megabytes
// costs about one copy of itself.
class ResponseBuffer {
  public:
    ResponseBuffer() = default;
    ~ResponseBuffer();
    ResponseBuffer(const ResponseBuffer&) = delete;
    ResponseBuffer& operator=(const ResponseBuffer&) = delete;

    // Appends bytes; false when memory ran out (the buffer then holds what it held before).
    bool Append(const char* bytes, std::size_t size);
    // Frees the memory; the buffer is empty afterwards.
    void Release();
    std::string_view View() const;
    std::size_t Size() const;
    bool Empty() const;

  private:
    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};
