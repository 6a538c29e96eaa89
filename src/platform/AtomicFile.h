#pragma once

#include <functional>
#include <string>
#include <string_view>

// Replaces a file's contents safely: the new bytes go to a temporary file beside the target,
// which is renamed over the target only once it is complete and flushed. A failure at any step
// leaves the old file whole and removes the temporary file. The new file keeps the old one's
// permissions (0644 for a new file); a symbolic link is followed, so its target is replaced;
// an existing file this process may not write is left alone.
//
// Staging and committing are separate steps so that a caller writing several files can stage
// them all and rename them only when every one was written.
class AtomicFile {
  public:
    explicit AtomicFile(std::string path);
    // Removes the temporary file of a stage that was never committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Writes bytes to a new temporary file beside the target. False when it cannot be created
    // or written, or when the target exists and may not be written.
    bool Stage(std::string_view bytes);
    // The same, with writer putting the bytes into the open temporary file (a caller that
    // needs its own writing step, such as a test simulating a full disk). writer returns false
    // on failure.
    using Writer = std::function<bool(int descriptor, std::string_view bytes)>;
    bool Stage(std::string_view bytes, const Writer& writer);
    // Renames the staged file over the target. False without a stage or when the rename fails.
    bool Commit();

    // Stage and commit in one step.
    static bool Write(const std::string& path, std::string_view bytes);

  private:
    std::string m_path;
    // The file the rename replaces: m_path, or the target of the link m_path names.
    std::string m_target;
    // The staged temporary file; empty when there is none.
    std::string m_temporary;
};
