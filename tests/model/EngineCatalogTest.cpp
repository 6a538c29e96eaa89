#include "model/EngineCatalog.h"
#include "model/EngineFile.h"

#include "support/ProgramFolder.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

EngineDefinition makeEngine(const std::string& name, const std::string& category) {
    return ProgramFolder::Engine(name, "http:www.example.com", "/s?q=$KEY$", "", category);
}

void writeEngine(const std::string& path, const std::string& name, const std::string& category) {
    writeFileBytes(path, EngineFile::CanonicalBytes(makeEngine(name, category)));
}

// The names of a category's engines, in catalogue order.
std::vector<std::string> enginesOf(EngineCatalog& catalog, const std::string& category) {
    std::vector<std::string> names;
    catalog.SelectCategory(category);
    for (int32_t i = 0; i < catalog.EngineCount(); ++i) {
        names.push_back(catalog.Engine(i)->name.str());
    }
    return names;
}

} // namespace

TEST(EngineCatalog, LoadGroupsEnginesByTheCategoryFirstMet) {
    ProgramFolder folder;
    writeEngine(folder.file("Site/web.vnp"), "SiteWeb", "The Web");
    writeEngine(folder.file("User/web.vnp"), "UserWeb", "The Web");
    writeEngine(folder.file("User/cars.vnp"), "UserCar", "Cars");
    writeEngine(folder.file("User/own.vnp"), "Mine", "My Own");
    writeEngine(folder.file("User/UP.VNP"), "Upper", "My Own");
    writeEngine(folder.file("User/lower.vnp"), "Lower", "the web");
    writeEngine(folder.file("User/notes.txt"), "Ignored", "Ignored");
    // The dot belongs to the ending: these are not engine files.
    writeEngine(folder.file("User/xvnp"), "Ignored", "Ignored");
    writeEngine(folder.file("User/a_vnp"), "Ignored", "Ignored");
    writeFileBytes(folder.file("User/nocat.vnp"), "name:NoCat\r\ngrm:\r\n");
    fs::create_directory(folder.file("User/dir.vnp"));

    RecordingMessageSink messages;
    EngineCatalog catalog(folder.path() + "/", messages);
    EXPECT_EQ(catalog.SiteFolder(), folder.file("Site"));
    catalog.Load();
    EXPECT_TRUE(messages.messages.empty());

    ASSERT_EQ(catalog.CategoryCount(), 5);
    EXPECT_EQ(catalog.CategoryName(0), "The Web");
    EXPECT_EQ(catalog.CategoryName(5), "");
    EXPECT_EQ(enginesOf(catalog, "The Web"), (std::vector<std::string>{"SiteWeb", "UserWeb"}));
    EXPECT_EQ(enginesOf(catalog, "Cars"), std::vector<std::string>{"UserCar"});
    EXPECT_EQ(enginesOf(catalog, "My Own").size(), 2u);
    EXPECT_EQ(enginesOf(catalog, ""), std::vector<std::string>{"NoCat"});

    const std::vector<std::string> bar = catalog.SearchBarCategories();
    ASSERT_EQ(bar.size(), EngineCatalog::kFixedCategoryCount + 3);
    for (std::size_t i = 0; i < EngineCatalog::kFixedCategoryCount; ++i) {
        EXPECT_EQ(bar[i], EngineCatalog::FixedCategories()[i]);
    }
    EXPECT_EQ(bar[0], "The Web");
    EXPECT_EQ(bar[11], "E-mail Addresses");
    EXPECT_EQ(bar[17], "Encyclopedias");
    const std::set<std::string> extra(bar.begin() + EngineCatalog::kFixedCategoryCount, bar.end());
    EXPECT_EQ(extra, (std::set<std::string>{"My Own", "the web", ""}));

    EXPECT_FALSE(catalog.SelectCategory("Images"));
    EXPECT_EQ(catalog.EngineCount(), 0);
    EXPECT_EQ(catalog.Engine(0), nullptr);
    EXPECT_TRUE(catalog.SelectCategory("Cars"));
    EXPECT_EQ(catalog.Engine(1), nullptr);
    EXPECT_EQ(catalog.Engine(-1), nullptr);
}

TEST(EngineCatalog, UnreadableFilesAreSkippedAndNamedOnceInOneMessage) {
    ProgramFolder folder;
    writeEngine(folder.file("Site/a.vnp"), "A", "The Web");
    // A link to itself exists as a name but cannot be opened, even by root.
    fs::create_symlink("loop.vnp", folder.file("Site/loop.vnp"));
    writeEngine(folder.file("Site/b.vnp"), "B", "The Web");
    writeEngine(folder.file("User/u.vnp"), "U", "Own");
    fs::create_symlink("knot.vnp", folder.file("User/knot.vnp"));

    std::vector<std::string> siteOrder;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.file("Site"))) {
        const std::string file = entry.path().filename().string();
        if (file != "loop.vnp") {
            siteOrder.push_back(file == "a.vnp" ? "A" : "B");
        }
    }

    RecordingMessageSink messages;
    EngineCatalog catalog(folder.path(), messages);
    for (int round = 1; round <= 2; ++round) {
        catalog.Load();
        EXPECT_EQ(enginesOf(catalog, "The Web"), siteOrder);
        EXPECT_EQ(enginesOf(catalog, "Own"), std::vector<std::string>{"U"});
        ASSERT_EQ(messages.messages.size(), static_cast<std::size_t>(round)) << "one per load";
        const RecordingMessageSink::Message& message = messages.messages.back();
        EXPECT_EQ(message.caption, MessageSink::kAppCaption);
        EXPECT_EQ(message.text.rfind("Read Engine Property Error!", 0), 0u) << message.text;
        for (const std::string& name :
             {folder.file("Site/loop.vnp"), folder.file("User/knot.vnp")}) {
            const std::size_t first = message.text.find(name);
            EXPECT_NE(first, std::string::npos) << message.text;
            EXPECT_EQ(message.text.find(name, first + 1), std::string::npos) << message.text;
        }
    }
}

TEST(EngineCatalog, UpdateEngineChangesMemoryAndTheCanonicalSiteFile) {
    ProgramFolder folder;
    writeEngine(folder.file("Site/img.vnp"), "Pics", "Images");
    writeEngine(folder.file("User/img.vnp"), "Pics", "Images");
    const std::string oldBytes = readFileBytes(folder.file("Site/img.vnp"));

    RecordingMessageSink messages;
    EngineCatalog catalog(folder.path(), messages);
    catalog.Load();
    ASSERT_TRUE(catalog.SelectCategory("Images"));
    ASSERT_EQ(catalog.EngineCount(), 2);
    EngineDefinition changed = *catalog.Engine(0);
    changed.enable.set("false");
    catalog.UpdateEngine(0, changed);
    catalog.UpdateEngine(2, makeEngine("Out", "Images"));

    EXPECT_FALSE(catalog.Engine(0)->isEnabled());
    EXPECT_EQ(catalog.Engine(1)->name.view(), "Pics");
    EXPECT_EQ(readFileBytes(folder.file("Site/img.vnp")), EngineFile::CanonicalBytes(changed));
    EXPECT_EQ(readFileBytes(folder.file("User/img.vnp")), oldBytes) << "only Site is rewritten";
}

TEST(EngineCatalog, UpdateEngineRewritesOnlyTheFileHoldingTheOldDefinition) {
    // Same name and same size, different categories: only the whole text tells them apart.
    ProgramFolder folder;
    writeEngine(folder.file("Site/soft.vnp"), "Shop", "Buy Software");
    writeEngine(folder.file("Site/hard.vnp"), "Shop", "Buy Hardware");
    const std::string softBytes = readFileBytes(folder.file("Site/soft.vnp"));
    ASSERT_EQ(softBytes.size(), readFileBytes(folder.file("Site/hard.vnp")).size());

    RecordingMessageSink messages;
    EngineCatalog catalog(folder.path(), messages);
    catalog.Load();
    for (const char* category : {"Buy Hardware", "Buy Software"}) {
        ASSERT_TRUE(catalog.SelectCategory(category));
        EngineDefinition changed = *catalog.Engine(0);
        changed.enable.set("false");
        const bool hard = std::string(category) == "Buy Hardware";
        const std::string own = folder.file(hard ? "Site/hard.vnp" : "Site/soft.vnp");
        const std::string other = folder.file(hard ? "Site/soft.vnp" : "Site/hard.vnp");
        const std::string otherBefore = readFileBytes(other);
        EXPECT_TRUE(catalog.UpdateEngine(0, changed)) << category;
        EXPECT_EQ(readFileBytes(own), EngineFile::CanonicalBytes(changed)) << category;
        EXPECT_EQ(readFileBytes(other), otherBefore) << category;
    }

    // A file changed on disk since the load no longer holds the old definition: nothing is
    // written, and the rewrite says so.
    writeFileBytes(folder.file("Site/soft.vnp"), softBytes + "language:en\r\n");
    ASSERT_TRUE(catalog.SelectCategory("Buy Software"));
    EngineDefinition enabled = *catalog.Engine(0);
    enabled.enable.set("true");
    EXPECT_FALSE(catalog.UpdateEngine(0, enabled));
    EXPECT_EQ(readFileBytes(folder.file("Site/soft.vnp")), softBytes + "language:en\r\n");
    EXPECT_TRUE(catalog.Engine(0)->isEnabled()) << "the definition in memory changes all the same";
}

TEST(EngineCatalog, ImportCopiesEachFileIntoTheFolderOfItsCategory) {
    TempDir program;
    fs::create_directory(program.file("Site"));
    writeEngine(program.file("Site/img.vnp"), "Old", "Images");
    TempDir source;
    writeEngine(source.file("img.vnp"), "Pics", "Images");
    writeEngine(source.file("own.vnp"), "Mine", "My Own");
    writeEngine(source.file("web.vnp"), "Lower", "the web");
    const std::string missing = source.file("gone.vnp");

    RecordingMessageSink messages;
    EngineCatalog catalog(program.path(), messages);
    catalog.Load();
    catalog.ImportEngineFiles(
        {source.file("img.vnp"), missing, source.file("own.vnp"), source.file("web.vnp")});

    EXPECT_EQ(readFileBytes(program.file("Site/img.vnp")), readFileBytes(source.file("img.vnp")));
    EXPECT_EQ(readFileBytes(program.file("User/own.vnp")), readFileBytes(source.file("own.vnp")));
    EXPECT_EQ(readFileBytes(program.file("User/web.vnp")), readFileBytes(source.file("web.vnp")));
    EXPECT_EQ(catalog.CategoryCount(), 1) << "imported engines count from the next start";
    EXPECT_EQ(enginesOf(catalog, "Images"), std::vector<std::string>{"Old"});
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Warning");
    EXPECT_EQ(messages.messages[0].text, "Update or Add engine failed.--\"" + missing + "\"");

    catalog.Load();
    EXPECT_EQ(enginesOf(catalog, "Images"), std::vector<std::string>{"Pics"});
}
