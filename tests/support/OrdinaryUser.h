#pragma once

#include <functional>
#include <string>
#include <vector>

// Runs body on a thread of its own that has given up the capabilities which let the super-user
// read, write and enter any file or folder, so that permission bits apply to it as they apply to
// an ordinary user: a file of mode 0200 cannot be read, a folder of mode 0555 takes no new
// file. The tests run as root, where chmod alone would prove nothing. The rest of the process
// keeps its rights. Test assertions may be used in body.
void runAsOrdinaryUser(const std::function<void()>& body);

// Ways a file can be there and yet not be readable by an ordinary user: no read permission (the
// file then holds contents), or a folder at its name.
struct UnreadableFile {
    const char* name;
    std::function<void(const std::string& path)> prepare;
    std::string contents;
    // Checks that the file at path is still as prepare left it and alone in its folder.
    void ExpectKept(const std::string& path) const;
};
std::vector<UnreadableFile> unreadableFiles(const std::string& contents);
