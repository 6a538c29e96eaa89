#include "search/QueryBuilder.h"

#include "model/EngineCatalog.h"
#include "search/JobQueue.h"
#include "settings/OptionsStore.h"

#include "support/ProgramFolder.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr char kCategory[] = "The Web";
constexpr char kWebsite[] = "http://e.com";

EngineDefinition makeEngine(const std::string& name, const std::string& path = "/s?q=$KEY$") {
    EngineDefinition def = ProgramFolder::Engine(name, kWebsite, path, "", kCategory);
    def.method.set("GET");
    return def;
}

// The jobs built for keyword from engines, all in the catalogue's current category.
struct Built {
    Built(const std::vector<EngineDefinition>& engines, std::string_view keyword,
          const ProxySettings& proxy = {})
        : catalog(dir.path(), messages) {
        for (const EngineDefinition& def : engines) {
            catalog.Add(def);
        }
        catalog.SelectCategory(kCategory);
        count = QueryBuilder::BuildJobs(catalog, keyword, proxy, queue, &skipped);
    }
    const SearchJob& job(int32_t index) const {
        return *queue.GetAt(index);
    }

    TempDir dir;
    RecordingMessageSink messages;
    EngineCatalog catalog;
    JobQueue queue;
    std::vector<std::string> skipped;
    int count = 0;
};

// What a GET engine with the path "$KEY$" appends to its website for keyword.
std::string queryFor(const std::string& keyword, const std::string& opt,
                     const std::string& urlCode = "") {
    EngineDefinition def = makeEngine("E", "$KEY$");
    def.opt.set(opt);
    def.URLcode.set(urlCode);
    const Built built({def}, keyword);
    return built.job(0).url.str().substr(std::string(kWebsite).size());
}

uint32_t pageStateFor(const std::string& trunpage) {
    EngineDefinition def = makeEngine("E");
    def.trunpage.set(trunpage);
    return Built({def}, "k").job(0).pageState;
}

} // namespace

TEST(QueryBuilder, TranslatesOperatorsThenEncodes) {
    EXPECT_EQ(queryFor("cats + dogs", "AND,NOT,OR,(,)"), "cats+AND+dogs");
    EXPECT_EQ(queryFor("(a|b)-c", "AND,NOT,OR,(,)"), "%28aORb%29NOTc");
    EXPECT_EQ(queryFor("e-mail", ""), "e+mail");
    // Word 1 holds word 2's operator, which is replaced in turn by a space.
    EXPECT_EQ(queryFor("x+y", "a-b"), "xa+by");
    // Empty words between commas count as missing; surplus words are ignored; an overlong word
    // is used whole.
    EXPECT_EQ(queryFor("p+m-v|", ",M,,"), "p+mMv+");
    EXPECT_EQ(queryFor("(a)", "P,M,V,O,C,EXTRA"), "OaC");
    EXPECT_EQ(queryFor("a+b", "ABCDEFGHIJKLMNOPQRST"), "aABCDEFGHIJKLMNOPQRSTb");
    // "URL" in any case sends the translated keyword unencoded.
    EXPECT_EQ(queryFor("a b+c.d", "", "uRl"), "a b c.d");
    EXPECT_EQ(queryFor("a b+c.d", "", "URLs"), "a+b+c%2Ed");
}

TEST(QueryBuilder, UrlEncodeKeepsOnlyLettersDigitsAndHyphen) {
    EXPECT_EQ(QueryBuilder::UrlEncode("az-AZ09 "), "az-AZ09+");
    EXPECT_EQ(QueryBuilder::UrlEncode("\n/\xE9"), "%A%2F%E9");
    EXPECT_EQ(QueryBuilder::UrlEncode("._*~+%"), "%2E%5F%2A%7E%2B%25");
}

TEST(QueryBuilder, PageStateFromTrunpage) {
    EXPECT_EQ(pageStateFor("0"), QueryBuilder::kDefaultPageState);
    EXPECT_EQ(pageStateFor(""), QueryBuilder::kDefaultPageState);
    EXPECT_EQ(pageStateFor("-5"), QueryBuilder::kDefaultPageState);
    EXPECT_EQ(pageStateFor("10"), 10U);
    EXPECT_EQ(pageStateFor("2561"), 2561U) << "step 1, first offset 10";
    EXPECT_EQ(pageStateFor("  +12x4"), 12U);
    EXPECT_EQ(pageStateFor("9999999999"), 0x7FFFFFFFU) << "stops at the largest 32-bit number";
}

TEST(QueryBuilder, JobCarriesEngineGrammarAndProxy) {
    EngineDefinition def = makeEngine("Engine", "/s?q=$KEY$&n=$KEY$&p=$FIRST$");
    def.grm.set("a$CRLF$b$COLON$c$LF$");
    const Built built({def}, "k w", ProxySettings{true, std::string(100, 'h'), "123456789"});
    const SearchJob& job = built.job(0);
    EXPECT_EQ(job.engineName, "Engine");
    EXPECT_EQ(job.grammar, "a\r\nb:c\n");
    EXPECT_EQ(job.method, SearchJob::kMethodGet);
    EXPECT_EQ(job.url, "http://e.com/s?q=k+w&n=k+w&p=$FIRST$");
    EXPECT_TRUE(job.body.empty());
    EXPECT_TRUE(job.useProxy);
    EXPECT_EQ(job.proxyHost, std::string(63, 'h'));
    EXPECT_EQ(job.proxyPort, "1234567");
}

TEST(QueryBuilder, EnginesAndMethods) {
    EngineDefinition off = makeEngine("Off");
    off.enable.set("FALSE");
    EngineDefinition post = makeEngine("Post");
    post.method.set("post");
    post.enable.set("no");
    EngineDefinition unknown = makeEngine("Unknown");
    unknown.method.set("PUT");
    unknown.enable.set("");
    EngineDefinition elsewhere = makeEngine("Elsewhere");
    elsewhere.category.set("Mp3");

    const Built built({off, post, elsewhere, unknown}, "k");
    ASSERT_EQ(built.count, 2);
    ASSERT_EQ(built.queue.Count(), 2);
    EXPECT_EQ(built.job(0).engineName, "Post");
    EXPECT_EQ(built.job(0).method, SearchJob::kMethodPost);
    EXPECT_EQ(built.job(0).url, kWebsite);
    EXPECT_EQ(built.job(0).body, "/s?q=k");
    EXPECT_EQ(built.job(1).engineName, "Unknown");
    EXPECT_EQ(built.job(1).method, SearchJob::kMethodGet);
    EXPECT_EQ(built.job(1).url, "http://e.com/s?q=k");
    EXPECT_TRUE(built.skipped.empty());
}

TEST(QueryBuilder, RequestThatDoesNotFitSkipsTheEngine) {
    EngineDefinition exact = makeEngine("Exact", "$KEY$");
    exact.URLcode.set("URL");
    EngineDefinition longer = makeEngine("Longer", "/$KEY$");
    longer.URLcode.set("URL");
    EngineDefinition post = longer;
    post.name.set("Post");
    post.method.set("POST");
    const std::string keyword(254 - std::string(kWebsite).size(), 'k');
    const Built built({exact, longer, post}, keyword);
    EXPECT_EQ(built.count, 2);
    EXPECT_EQ(built.skipped, std::vector<std::string>{"Longer"});
    EXPECT_EQ(built.job(0).url, kWebsite + keyword);
    EXPECT_EQ(built.job(1).body, "/" + keyword);

    // Encoding triples the dots beyond what the body holds.
    EngineDefinition encoded = makeEngine("Encoded");
    encoded.method.set("POST");
    const Built dots({encoded}, std::string(200, '.'));
    EXPECT_EQ(dots.count, 0);
    EXPECT_EQ(dots.skipped, std::vector<std::string>{"Encoded"});

    // An overlong keyword is cut before anything else.
    EngineDefinition asTyped = makeEngine("AsTyped", "<$KEY$>");
    asTyped.method.set("POST");
    asTyped.URLcode.set("URL");
    const Built cut({asTyped}, std::string(300, 'k'));
    EXPECT_EQ(cut.job(0).body, "<" + std::string(254, 'k') + ">");
    // The cut never sends half a UTF-8 character, encoded or not.
    const Built utf8({asTyped, encoded}, std::string(253, 'k') + "\xC3\xA9");
    ASSERT_EQ(utf8.count, 2);
    EXPECT_EQ(utf8.job(0).body, "<" + std::string(253, 'k') + ">");
    EXPECT_EQ(utf8.job(1).body, "/s?q=" + std::string(253, 'k'));
}

TEST(QueryBuilder, ReadsProxySettingsFromTheOptions) {
    TempDir dir;
    OptionsStore options(dir.path());
    EXPECT_EQ(QueryBuilder::ReadProxySettings(options).port, "8080");
    options.SetUseProxy(true);
    options.SetProxyServer("proxy.example");
    options.SetProxyPort("3128");
    const ProxySettings proxy = QueryBuilder::ReadProxySettings(options);
    EXPECT_TRUE(proxy.useProxy);
    EXPECT_EQ(proxy.host, "proxy.example");
    EXPECT_EQ(proxy.port, "3128");
}
