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
    // Room for size more bytes after the kept ones, for a receive straight into the buffer;
    // nullptr when memory ran out. What is written there counts once Commit takes it. The
    // room's memory is made resident first: a receive that had to take a fault for every
    // fresh page while the kernel copies into it is several times slower than one that has
    // none to take.
    char* Room(std::size_t size);
    // Takes size bytes written into Room as kept bytes.
    void Commit(std::size_t size);
    // Frees the memory; the buffer is empty afterwards.
    void Release();
    std::string_view View() const;
    std::size_t Size() const;
    bool Empty() const;

  private:
    // Makes room for size more bytes; false when memory ran out.
    bool Grow(std::size_t size);
    // Makes the memory up to end resident (see Room).
    void Prefault(std::size_t end);

    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    // The memory up to here has been made resident.
    std::size_t m_prefaulted = 0;
};
