#include "model/EngineFile.h"

#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// Reads bytes as the contents of an engine file.
EngineDefinition readBytes(const std::string& bytes) {
    TempDir dir;
    const std::string path = dir.file("engine.vnp");
    writeFileBytes(path, bytes);
    EngineDefinition def;
    const EngineFile::ReadResult read = EngineFile::ReadEngineFile(path, def);
    EXPECT_TRUE(read == EngineFile::ReadResult::Read || read == EngineFile::ReadResult::NoEngine);
    return def;
}

bool allEmpty(const EngineDefinition& def) {
    for (std::string_view key : EngineDefinition::kFileKeyOrder) {
        if (!def.field(key).empty()) {
            return false;
        }
    }
    return true;
}

std::string websiteOf(const std::string& line) {
    return readBytes("website:" + line + "\r\n").website.str();
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

} // namespace

TEST(EngineFile, ReadEmptiesTheRecordAndStoresOnlyTheLinesPresent) {
    TempDir dir;
    writeFileBytes(dir.file("two.vnp"), "name:Example\r\nmethod:get\r\n");
    EngineDefinition def;
    def.grm.set("left over");
    def.website.set("http:old");
    std::string lack;
    ASSERT_EQ(EngineFile::ReadEngineFile(dir.file("two.vnp"), def, &lack),
              EngineFile::ReadResult::NoEngine);
    EXPECT_EQ(lack, "no grm line");
    for (std::string_view key : EngineDefinition::kFileKeyOrder) {
        const std::string_view expected = key == "name" ? "Example" : key == "method" ? "get" : "";
        EXPECT_EQ(def.field(key), expected) << key;
    }

    EngineDefinition kept;
    kept.name.set("kept");
    EXPECT_EQ(EngineFile::ReadEngineFile(dir.file("none.vnp"), kept),
              EngineFile::ReadResult::Missing);
    EXPECT_EQ(kept.name.view(), "kept");

    fs::create_directory(dir.file("folder.vnp"));
    fs::create_symlink("loop.vnp", dir.file("loop.vnp"));
    EXPECT_EQ(EngineFile::ReadEngineFile(dir.file("folder.vnp"), kept),
              EngineFile::ReadResult::Unreadable);
    EXPECT_EQ(EngineFile::ReadEngineFile(dir.file("loop.vnp"), kept),
              EngineFile::ReadResult::Unreadable);
}

TEST(EngineFile, ReaderWalksBytesWithACurrentKey) {
    EXPECT_TRUE(allEmpty(readBytes("Name:x\r\nurlcode:URL\r\n"))) << "keys are exact in case";
    EXPECT_EQ(readBytes("name:A\r\nname:B\r\n").name.view(), "B");
    EXPECT_EQ(readBytes("path:a:b\r\n").path.view(), "b");
    EXPECT_EQ(readBytes("path:/s?q=$KEY$&n=10\r\n").path.view(), "/s?q=$KEY$&n=10");
    EXPECT_EQ(readBytes("grm:abc\r\ndef\r\n").grm.view(), "def");

    const EngineDefinition unfinished = readBytes("name:A\r\nmethod:POST");
    EXPECT_EQ(unfinished.name.view(), "A");
    EXPECT_TRUE(unfinished.method.empty()) << "a last line without CR is not stored";

    const EngineDefinition zero = readBytes("name:A\r\nname:B\0\r\nopt:x\r\n"s);
    EXPECT_EQ(zero.name.view(), "A");
    EXPECT_TRUE(zero.opt.empty());

    const EngineDefinition skipped = readBytes("name:A\rXmethod:GET\r\n");
    EXPECT_EQ(skipped.name.view(), "A");
    EXPECT_EQ(skipped.method.view(), "GET") << "the byte after CR is skipped whatever it is";

    const EngineDefinition lf = readBytes("name:A\nmethod:GET\r\npath:/x\n");
    EXPECT_EQ(lf.name.str() + lf.method.str() + lf.path.str(), "AGET/x") << "LF ends a line too";
}

TEST(EngineFile, WebsiteKeepsItsColonsAndBeginsWithHttpOrHttps) {
    EXPECT_EQ(websiteOf("https://s.example.com:8443"), "https://s.example.com:8443");
    EXPECT_EQ(websiteOf("HTTPS://s.example.com"), "HTTPS://s.example.com");
    EXPECT_EQ(websiteOf("httpsx://s.example.com"), "http://s.example.com");
    EXPECT_EQ(websiteOf("www.x.com"), "http:www.x.com");
    EXPECT_EQ(websiteOf("http://www.example.com:8080/s"), "http://www.example.com:8080/s");
    EXPECT_EQ(websiteOf("ftp://files.x.com"), "http://files.x.com");
    EXPECT_EQ(websiteOf("http:www.x.com"), "http:www.x.com");
    EXPECT_EQ(websiteOf("localhost:8080"), "http:localhost:8080");
    EXPECT_EQ(websiteOf("www.x.com:81"), "http:www.x.com:81");
    EXPECT_EQ(websiteOf("http://u:p@h.com:81"), "http://u:p@h.com:81");
    EXPECT_EQ(websiteOf(""), "http:");

    const EngineDefinition continued =
        readBytes("website:http://a.com\r\nhttp://b.com:81\r\npath:x:y\r\n");
    EXPECT_EQ(continued.website.view(), "http://b.com:81");
    EXPECT_EQ(continued.path.view(), "y") << "other keys still drop text before a colon";
    const EngineDefinition keyed = readBytes("website:a.com\r\nname:N\r\n");
    EXPECT_EQ(keyed.website.view(), "http:a.com");
    EXPECT_EQ(keyed.name.view(), "N");
}

TEST(EngineFile, OverLongValuesAndTokensAreCut) {
    const std::string longToken(5000, 'g');
    const EngineDefinition def =
        readBytes("name:" + std::string(100, 'n') + "\r\n" + "grm:" + longToken + "\r\n" +
                  "website:http://" + longToken + ":1\r\n" + "path:" + longToken + ":b\r\n" +
                  "opt:x\r\n" + longToken + "name:" + longToken + "\r\n");
    EXPECT_EQ(def.name.view(), std::string(20, 'n'));
    EXPECT_EQ(def.grm.view(), std::string(255, 'g'));
    EXPECT_EQ(def.website.view(), "http://" + std::string(121, 'g'));
    EXPECT_EQ(def.path.view(), "b");
    EXPECT_EQ(def.opt.view(), std::string(30, 'g')) << "a cut token names no key";
}

TEST(EngineFile, RewriteReplacesTheSiteFileHoldingTheWholeOldDefinition) {
    const std::string oldBytes = "name:Example\r\n"
                                 "website:http://www.example.com:8080\r\n"
                                 "path:/s?q=$KEY$\r\n"
                                 "method:GET\r\n"
                                 "URLcode:\r\n"
                                 "opt:AND,NOT,OR,(,)\r\n"
                                 "grm:<li>$COLON$\r\n"
                                 "trunpage:266\r\n"
                                 "enable:TRUE\r\n"
                                 "language:en\r\n"
                                 "category:The Web\r\n";
    std::string newBytes = oldBytes;
    newBytes.replace(newBytes.find("TRUE"), 4, "false");
    std::string lfBytes = oldBytes;
    std::erase(lfBytes, '\r');
    std::string websiteFirst = oldBytes;
    websiteFirst.replace(0, 14, "");
    websiteFirst.insert(websiteFirst.find("path:"), "name:Example\r\n");
    std::string otherName = oldBytes;
    otherName.replace(0, 12, "name:Exampl3");
    // Same size and same beginning, another category: another engine.
    std::string sameStart = oldBytes;
    sameStart.replace(sameStart.find("The Web"), 7, "The Wex");

    TempDir site;
    fs::create_directory(site.file("sub"));
    writeFileBytes(site.file("a.vnp"), oldBytes);
    writeFileBytes(site.file("B.VNP"), oldBytes);
    writeFileBytes(site.file("lf.vnp"), lfBytes);
    writeFileBytes(site.file("order.vnp"), websiteFirst);
    writeFileBytes(site.file("other.vnp"), otherName);
    writeFileBytes(site.file("same.vnp"), sameStart);
    writeFileBytes(site.file("a.txt"), oldBytes);
    writeFileBytes(site.file("sub/c.vnp"), oldBytes);

    EngineDefinition oldDef;
    ASSERT_EQ(EngineFile::ReadEngineFile(site.file("a.vnp"), oldDef), EngineFile::ReadResult::Read);
    EngineDefinition newDef = oldDef;
    newDef.enable.set("false");
    EXPECT_EQ(EngineFile::CanonicalBytes(oldDef), oldBytes);

    // Of two identical files (two entries of the catalogue) the first listed is the one.
    EXPECT_EQ(EngineFile::RewriteEngineFile(oldDef, newDef, site.path()), 1);
    const std::multiset<std::string> twins = {readFileBytes(site.file("a.vnp")),
                                              readFileBytes(site.file("B.VNP"))};
    EXPECT_EQ(twins, (std::multiset<std::string>{oldBytes, newBytes}));
    EXPECT_EQ(readFileBytes(site.file("same.vnp")), sameStart);
    EXPECT_EQ(readFileBytes(site.file("lf.vnp")), lfBytes);
    EXPECT_EQ(readFileBytes(site.file("order.vnp")), websiteFirst);
    EXPECT_EQ(readFileBytes(site.file("other.vnp")), otherName);
    EXPECT_EQ(readFileBytes(site.file("a.txt")), oldBytes);
    EXPECT_EQ(readFileBytes(site.file("sub/c.vnp")), oldBytes);
    const std::set<std::string> expectedNames = {"a.vnp",     "B.VNP",    "lf.vnp", "order.vnp",
                                                 "other.vnp", "same.vnp", "a.txt",  "sub"};
    EXPECT_EQ(namesIn(site.path()), expectedNames) << "no temporary file is left behind";

    EXPECT_EQ(EngineFile::RewriteEngineFile(oldDef, newDef, site.file("missing")), 0);
}
