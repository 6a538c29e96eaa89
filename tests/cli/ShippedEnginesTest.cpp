#include "extract/ResultExtractor.h"
#include "model/EngineFile.h"
#include "search/QueryBuilder.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

// The engine files that ship with the program: canonical, within their fields, and each
// grammar proven on a saved answer page of its engine.
TEST(ShippedEngines, AreCanonicalFiles) {
    int files = 0;
    for (const char* folder : {"engines/Site", "engines/User"}) {
        for (const auto& entry : std::filesystem::directory_iterator(sourcePath(folder))) {
            SCOPED_TRACE(entry.path().string());
            EngineDefinition engine;
            ASSERT_EQ(EngineFile::ReadEngineFile(entry.path().string(), engine),
                      EngineFile::ReadResult::Read);
            EXPECT_EQ(EngineFile::CanonicalBytes(engine), readFileBytes(entry.path().string()));
            EXPECT_FALSE(engine.name.empty());
            EXPECT_FALSE(engine.category.empty());
            ++files;
        }
    }
    EXPECT_GE(files, 5);
}

TEST(ShippedEngines, GrammarsReadTheirEnginesSavedPages) {
    struct Saved {
        const char* engine;
        const char* page;
        int32_t results;
        const char* firstAddress;
    };
    const Saved saved[] = {
        {"engines/Site/DuckDuckGo.vnp", "serp/duckduckgo-1.html", 28,
         "https://www.merriam-webster.com/dictionary/hello"},
        {"engines/Site/Bing.vnp", "serp/bing-1.html", 10, "https://www.bing.com/"},
        {"engines/Site/Ask.vnp", "serp/ask-1.html", 10, nullptr},
        {"engines/Site/Google.vnp", "serp/google-1.html", 10, "https://www.google.com/"},
    };
    for (const Saved& s : saved) {
        SCOPED_TRACE(s.engine);
        const std::string page = fixturePath(s.page);
        if (page.empty()) {
            GTEST_SKIP() << "saved answer pages are not beside the repository";
        }
        EngineDefinition engine;
        ASSERT_EQ(EngineFile::ReadEngineFile(sourcePath(s.engine), engine),
                  EngineFile::ReadResult::Read);
        ResultExtractor extractor;
        extractor.SetGrammar(QueryBuilder::ExpandGrammar(engine.grm.view()));
        extractor.SetEngineName(engine.name.view());
        const std::string bytes = readFileBytes(page);
        ResultList results;
        extractor.AppendInput(bytes.data(), bytes.size());
        extractor.Feed(results);
        ASSERT_EQ(results.Count(), s.results);
        for (int32_t i = 0; i < results.Count(); ++i) {
            EXPECT_FALSE(results.Get(i)->title.empty()) << i;
            EXPECT_FALSE(results.Get(i)->summary.empty()) << i;
            EXPECT_EQ(results.Get(i)->address.view().substr(0, 4), "http") << i;
        }
        if (s.firstAddress != nullptr) {
            EXPECT_EQ(results.Get(0)->address.view(), s.firstAddress);
        }
    }
}

TEST(QueryBuilder, ExpandsTheFourEscapesInOrder) {
    EXPECT_EQ(QueryBuilder::ExpandGrammar("a$CRLF$b$COLON$c$CR$d$LF$e"), "a\r\nb:c\rd\ne");
    EXPECT_EQ(QueryBuilder::ExpandGrammar("$COLON$$COLON$"), "::");
}
