#pragma once

#include <string>

// Turns a text captured from an answer page into plain text: removes tags, decodes the few
// entities that engines use, and collapses every run of white space to one space, as its last
// step. The result is never longer than the input.
class TextCleaner {
  public:
    static void CleanText(std::string& text);

  private:
    static void RemoveTags(std::string& text);
    static void FlattenWhiteSpace(std::string& text);
    // Replaces every occurrence of find, left to right without overlaps, by a text that is not
    // longer than find; the replacement is not scanned again.
    static void ReplaceAll(std::string& text, const std::string& find, const std::string& replace);
};
