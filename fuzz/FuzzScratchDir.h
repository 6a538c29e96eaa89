#pragma once

#include <string>
#include <string_view>

// A folder of the fuzzing process's own for targets whose code under test reads and writes
// files by name. Made once per process, on a memory file system when there is one (each input
// writes files, and a disk would make that the bottleneck), and removed at exit.
class FuzzScratchDir {
  public:
    // The process's folder, made on first use.
    static const FuzzScratchDir& Instance();

    const std::string& Path() const;
    // path() + "/" + name.
    std::string File(std::string_view name) const;
    // Replaces the file name in the folder with bytes; aborts when that fails, since every
    // later finding would be noise.
    void Write(std::string_view name, std::string_view bytes) const;

  private:
    FuzzScratchDir();
    ~FuzzScratchDir();

    std::string m_path;
};
