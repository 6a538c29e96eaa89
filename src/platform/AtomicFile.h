#pragma once

#include <functional>
#include <string>
#include <string_view>

// Replaces a file's contents safely: the new bytes go to a temporary file beside the target,
// which is renamed over the target only once it is complete and flushed; the folder is flushed
// after the rename, so that a crash keeps either the old file or the new one. A failure at any step
// leaves the old file whole and removes the temporary file. The new file keeps the old one's
// permissions (0644 for a new file); an existing file this process may not write is left alone.
// By default a symbolic link is followed, so its target is replaced; with Links::Replace the
// link itself is replaced by the new file and its target is never opened.
//
// A folder that takes no new file (read-only, or another user's) while the existing file itself
// may be read and written: the file is then rewritten in place at Commit instead, since leaving
// the old contents while the user believes them saved would be worse. That rewrite is not
// atomic; when it fails half way, the old contents are written back.
//
// Staging and committing are separate steps so that a caller writing several files can stage
// them all and rename them only when every one was written.
class AtomicFile {
  public:
    // What a symbolic link at the path stands for.
    enum class Links {
        Follow,  // the file it points to, which is replaced
        Replace, // a name only: the link is replaced and what it points to stays untouched
    };

    explicit AtomicFile(std::string path, Links links = Links::Follow);
    // Removes the temporary file of a stage that was never committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Writes bytes to a new temporary file beside the target. False when it cannot be created
    // or written, or when the target exists and may not be written. When the folder takes no
    // new file but the target may be rewritten in place, the bytes are kept for Commit.
    bool Stage(std::string_view bytes);
    // The same, with writer putting the bytes into the open temporary file (a caller that
    // needs its own writing step, such as a test simulating a full disk). writer returns false
    // on failure.
    using Writer = std::function<bool(int descriptor, std::string_view bytes)>;
    bool Stage(std::string_view bytes, const Writer& writer);
    // Renames the staged file over the target (or rewrites the target in place, see above).
    // False without a stage or when the rename or the rewrite fails.
    bool Commit();

    // Stage and commit in one step.
    static bool Write(const std::string& path, std::string_view bytes, Links links = Links::Follow);

  private:
    // Rewrites the target with the kept bytes through the kept writer; on failure writes the
    // old contents back.
    bool CommitInPlace();
    void Discard();

    std::string m_path;
    Links m_links;
    // The file the rename replaces: m_path, or the target of the link m_path names.
    std::string m_target;
    // The staged temporary file; empty when there is none.
    std::string m_temporary;
    // A stage to be written in place: its bytes and writer.
    bool m_inPlace = false;
    std::string m_inPlaceBytes;
    Writer m_inPlaceWriter;
};
