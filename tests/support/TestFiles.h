#pragma once

#include <cstddef>
#include <string>

// Whole-file helpers for tests: bytes in, bytes out, no translation.
std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);
// How many entries a folder holds (a temporary file left behind shows up here).
std::ptrdiff_t entriesIn(const std::string& folder);
// A saved answer page from the shared fixtures (for example "serp/bing-1.html"), or an empty
// string when the fixtures are not beside the repository.
std::string fixturePath(const std::string& relative);
// A file of the repository itself (for example "engines/Site/Sample.vnp").
std::string sourcePath(const std::string& relative);
