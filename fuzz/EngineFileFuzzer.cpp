// The engine file reader and rewriter on arbitrary file bytes. The bytes are read as an engine
// file; the engine is then switched on or off and rewritten, as the options page does.
#include "FuzzScratchDir.h"

#include "model/EngineFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr std::string_view kSiteFolder = "Site";
constexpr std::string_view kEngineFile = "Site/fuzz.vnp";

std::string readBack(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// "http:" as written, or "https:" in any letter case.
bool hasHttpScheme(std::string_view website) {
    std::string scheme(website.substr(0, 6));
    for (char& c : scheme) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return website.substr(0, 5) == "http:" || scheme == "https:";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const FuzzScratchDir& scratch = FuzzScratchDir::Instance();
    static const bool made = std::filesystem::create_directories(scratch.File(kSiteFolder));
    (void)made;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    scratch.Write(kEngineFile, bytes);
    const std::string path = scratch.File(kEngineFile);

    EngineDefinition engine;
    const EngineFile::ReadResult read = EngineFile::ReadEngineFile(path, engine);
    if (read == EngineFile::ReadResult::Missing || read == EngineFile::ReadResult::Unreadable) {
        std::abort();
    }
    // Whatever the file says, a stored website is an http or https address.
    if (!engine.website.empty() && !hasHttpScheme(engine.website.view())) {
        std::abort();
    }

    EngineDefinition switched = engine;
    switched.enable.set(engine.isEnabled() ? "false" : "TRUE");
    const int replaced = EngineFile::RewriteEngineFile(engine, switched, scratch.File(kSiteFolder));
    const bool canonical = bytes == EngineFile::CanonicalBytes(engine);
    // A file in canonical form is always found; a replaced file holds exactly the new text,
    // and a file that was not replaced is untouched.
    const std::string after = readBack(path);
    if (replaced > 1 || (canonical && replaced != 1) ||
        (replaced == 1 && after != EngineFile::CanonicalBytes(switched)) ||
        (replaced == 0 && after != bytes)) {
        std::abort();
    }
    return 0;
}
