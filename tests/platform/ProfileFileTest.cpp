#include "platform/ProfileFile.h"

#include "support/OrdinaryUser.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBuffer = 128;

// A profile file whose disk fails half way through writing the temporary file.
class FailingDiskProfileFile : public ProfileFile {
  public:
    using ProfileFile::ProfileFile;

  protected:
    bool WriteTemporary(int descriptor, std::string_view content) override {
        ProfileFile::WriteTemporary(descriptor, content.substr(0, content.size() / 2));
        return false;
    }
};

} // namespace

TEST(ProfileFile, ReadsByThePlatformRules) {
    TempDir dir;
    // LF line ends, no final line end, a key before any section, a duplicate section.
    writeFileBytes(dir.file("a.ini"), "Stray=1\n"
                                      "; Name=commented\n"
                                      "[ options ]\n"
                                      "  Name  =  \"Quoted value\"  \n"
                                      "Single='x'\n"
                                      "Half=\"open\n"
                                      "Empty=\n"
                                      "Long=abcdefghij\n"
                                      "[Other]\n"
                                      "Name=other\n"
                                      "[Options]\n"
                                      "Late=never\n"
                                      "Last=end");
    const ProfileFile file(dir.file("a.ini"));
    EXPECT_EQ(file.ReadString("OPTIONS", "name", "d", kBuffer), "Quoted value");
    EXPECT_EQ(file.ReadString("Options", "Single", "d", kBuffer), "x");
    EXPECT_EQ(file.ReadString("Options", "Half", "d", kBuffer), "\"open");
    EXPECT_EQ(file.ReadString("Options", "Empty", "d", kBuffer), "");
    EXPECT_EQ(file.ReadString("Options", "Long", "d", 5), "abcd");
    EXPECT_EQ(file.ReadString("Options", "Absent", "defaultText", 5), "defa");
    EXPECT_EQ(file.ReadString("Options", "Stray", "d", kBuffer), "d");
    EXPECT_EQ(file.ReadString("Other", "Name", "d", kBuffer), "other");
    EXPECT_EQ(file.ReadString("Options", "Late", "d", kBuffer), "d")
        << "only the first section of a name counts";
    EXPECT_EQ(file.ReadString("Options", "Last", "d", kBuffer), "d");
    EXPECT_EQ(file.ReadString("Missing", "Name", "d", kBuffer), "d");
    EXPECT_TRUE(file.HasSection("other"));
    EXPECT_FALSE(file.HasSection("Missing"));

    const ProfileFile missing(dir.file("missing.ini"));
    EXPECT_EQ(missing.ReadString("Options", "Name", "d", kBuffer), "d");
    EXPECT_EQ(missing.ReadInt("Options", "Name", -1), -1);
    EXPECT_FALSE(missing.HasSection("Options"));
}

TEST(ProfileFile, ReadsIntegersByLeadingDigits) {
    // The last wraps at 32 bits.
    const std::pair<const char*, int> numbers[] = {
        {"42", 42}, {"  17 seconds", 17}, {"-3x", -3}, {"on", 0}, {"- 5", 0},
        {"", 0},    {"4294967297", 1},
    };
    for (const auto& [text, number] : numbers) {
        EXPECT_EQ(ProfileFile::ParseInteger(text), number) << text;
    }

    TempDir dir;
    writeFileBytes(dir.file("a.ini"), "[S]\r\nEmpty=\r\nWord=yes\r\nQuoted=\"12\"\r\n");
    const ProfileFile file(dir.file("a.ini"));
    EXPECT_EQ(file.ReadInt("S", "Empty", 7), 0);
    EXPECT_EQ(file.ReadInt("S", "Word", 7), 0);
    EXPECT_EQ(file.ReadInt("S", "Quoted", 7), 12);
    EXPECT_EQ(file.ReadInt("S", "Absent", 7), 7);
}

TEST(ProfileFile, WritingChangesOnlyTheEntryConcerned) {
    TempDir dir;
    const std::string path = dir.file("a.ini");
    const std::string before = "; settings\r\n"
                               "[Settings]\r\n"
                               "ReportCtrl=1,2,3\r\n"
                               "\r\n"
                               "[Options]\r\n"
                               "Unknown = keep me \r\n"
                               "maxresult = 10\r\n"
                               "; trailing comment\r\n"
                               "\r\n"
                               "\r\n"
                               "[Last]\n"
                               "X=1";
    writeFileBytes(path, before);
    ::chmod(path.c_str(), 0640);
    ProfileFile file(path);

    EXPECT_TRUE(file.WriteString("OPTIONS", "MaxResult", "200"));
    EXPECT_TRUE(file.WriteString("Options", "WinState", "5"));
    EXPECT_TRUE(file.WriteString("Last", "Y", "2"));
    EXPECT_TRUE(file.WriteString("New", "Z", "3"));
    EXPECT_EQ(readFileBytes(path), "; settings\r\n"
                                   "[Settings]\r\n"
                                   "ReportCtrl=1,2,3\r\n"
                                   "\r\n"
                                   "[Options]\r\n"
                                   "Unknown = keep me \r\n"
                                   "maxresult = 200\r\n"
                                   "; trailing comment\r\n"
                                   "WinState=5\r\n"
                                   "\r\n"
                                   "\r\n"
                                   "[Last]\n"
                                   "X=1\r\n"
                                   "Y=2\r\n"
                                   "[New]\r\n"
                                   "Z=3\r\n");
    EXPECT_EQ(file.ReadInt("options", "MAXRESULT", 0), 200);
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read)
        << "the replacement keeps the file's permissions";
    EXPECT_EQ(entriesIn(dir.path()), 1) << "no temporary file is left behind";

    const std::string missing = dir.file("created.ini");
    ProfileFile created(missing);
    EXPECT_TRUE(created.AddSection("Empty"));
    EXPECT_TRUE(created.AddSection("empty"));
    EXPECT_TRUE(created.WriteString("Options", "Key", "value"));
    EXPECT_EQ(readFileBytes(missing), "[Empty]\r\n[Options]\r\nKey=value\r\n");
}

TEST(ProfileFile, FailedWritesLeaveTheOldFileUntouched) {
    TempDir dir;
    const std::string path = dir.file("a.ini");
    const std::string before = "[Options]\nMaxResult=10\n";
    writeFileBytes(path, before);

    FailingDiskProfileFile failing(path);
    EXPECT_FALSE(failing.WriteString("Options", "MaxResult", "20"));
    EXPECT_EQ(readFileBytes(path), before);
    EXPECT_EQ(entriesIn(dir.path()), 1) << "the half-written temporary file is removed";

    ProfileFile file(path);
    EXPECT_FALSE(file.WriteString("Options", "Bad", "two\r\nlines"));
    EXPECT_FALSE(file.WriteString("Options", "a=b", "1"));
    EXPECT_FALSE(file.WriteString("", "Key", "1"));
    EXPECT_EQ(readFileBytes(path), before);

    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(file.WriteString("Options", "MaxResult", "20"));
    EXPECT_FALSE(file.AddSection("Another"));
    EXPECT_TRUE(file.AddSection("options")) << "an existing section opens without writing";
    EXPECT_EQ(readFileBytes(path), before);

    ProfileFile nowhere(dir.file("no/such/folder/a.ini"));
    EXPECT_FALSE(nowhere.WriteString("Options", "MaxResult", "20"));
    EXPECT_FALSE(nowhere.AddSection("Options"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));

    // A folder that takes no new file: the file is rewritten in place; a failing disk there
    // leaves it as it was, and a read-only file in it stays read-only.
    const std::string lockedFolder = dir.file("locked");
    std::filesystem::create_directory(lockedFolder);
    const std::string lockedPath = lockedFolder + "/a.ini";
    writeFileBytes(lockedPath, before);
    ::chmod(lockedFolder.c_str(), 0555);
    runAsOrdinaryUser([&] {
        FailingDiskProfileFile failingLocked(lockedPath);
        EXPECT_FALSE(failingLocked.WriteString("Options", "MaxResult", "20"));
        EXPECT_EQ(readFileBytes(lockedPath), before);

        ProfileFile locked(lockedPath);
        EXPECT_TRUE(locked.WriteString("Options", "MaxResult", "2"));
        EXPECT_EQ(readFileBytes(lockedPath), "[Options]\nMaxResult=2\n");

        ::chmod(lockedPath.c_str(), 0444);
        EXPECT_FALSE(locked.WriteString("Options", "MaxResult", "20"));
        EXPECT_EQ(readFileBytes(lockedPath), "[Options]\nMaxResult=2\n");
    });
    EXPECT_EQ(entriesIn(lockedFolder), 1);
    ::chmod(lockedFolder.c_str(), 0755);
}

TEST(ProfileFile, FileThatCannotBeReadIsNeverRewritten) {
    const std::string before = "[Options]\r\nMaxResult=10\r\nProxyServer=proxy\r\n";
    for (const UnreadableFile& c : unreadableFiles(before)) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("a.ini");
        c.prepare(path);
        runAsOrdinaryUser([&] {
            ProfileFile file(path);
            EXPECT_EQ(file.ReadInt("Options", "MaxResult", -1), -1);
            EXPECT_FALSE(file.WriteString("Options", "MaxResult", "20"));
            EXPECT_FALSE(file.WriteString("Other", "Key", "1"));
            EXPECT_FALSE(file.AddSection("New"));
        });
        c.ExpectKept(path);
    }
}
