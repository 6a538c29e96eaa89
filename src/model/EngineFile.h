#pragma once

#include "model/EngineDefinition.h"

#include <cstddef>
#include <string>
#include <string_view>

// Reads and rewrites the ".vnp" text files that describe one search engine each: lines of
// "key:value" ended by CR LF (as the program writes them) or by LF alone (as Linux editors
// save them), read as raw bytes.
class EngineFile {
  public:
    enum class ReadResult {
        Read,       // the file was read into the record
        Missing,    // no such file; the record is left as it was
        Unreadable, // the file exists but could not be read; the record is emptied
        NoEngine    // read, but it names no engine or holds no grm line: not an engine file
    };

    // What a canonical file holds besides its eleven values: the keys, their colons and the
    // two line-end bytes of every line.
    static constexpr std::size_t kCanonicalOverheadBytes = 97;
    // A token of the file longer than this is cut; the rest of it up to the next ':' or CR is
    // dropped.
    static constexpr std::size_t kMaxTokenLength = 1023;

    // Empties every field of record and fills it from the file at path. For NoEngine, lack
    // (when given) says what the file is missing, such as "no name and no grm line".
    static ReadResult ReadEngineFile(const std::string& path, EngineDefinition& record,
                                     std::string* lack = nullptr);

    // Replaces the ".vnp" file directly in siteFolder whose bytes are exactly the canonical
    // bytes of oldDef with the canonical bytes of newDef; of several such files (copies of one
    // engine, listed as several engines) the first in listing order, the one the catalogue
    // loaded first. Returns how many files were replaced (0 or 1): 0 when no file holds oldDef
    // or the write failed, and then nothing is written.
    static int RewriteEngineFile(const EngineDefinition& oldDef, const EngineDefinition& newDef,
                                 const std::string& siteFolder);

    // The canonical file bytes of def: every key in file order as "key:value" and CR LF.
    static std::string CanonicalBytes(const EngineDefinition& def);

    // True when fileName ends in ".vnp" in any letter case (files also come from Windows).
    static bool IsEngineFileName(std::string_view fileName);
};
