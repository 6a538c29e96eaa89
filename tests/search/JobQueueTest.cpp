#include "search/JobQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t kDefaultPageState = 266;

SearchJob makeJob(const std::string& name, const std::string& url,
                  uint32_t pageState = kDefaultPageState) {
    SearchJob job;
    job.engineName.set(name);
    job.url.set(url);
    job.pageState = pageState;
    return job;
}

std::string nextUrl(JobQueue& queue) {
    SearchJob out;
    queue.NextJob(out);
    return out.engineName.str() + " " + out.url.str();
}

} // namespace

TEST(JobQueue, HandsOutEveryEngineInTurnAndTurnsItsPage) {
    JobQueue queue;
    queue.Enqueue(makeJob("A", "a?f=$FIRST$&l=$LAST$"));
    queue.Enqueue(makeJob("B", "b?f=$FIRST$"));
    queue.Enqueue(makeJob("C", "c?f=$FIRST$"));
    std::vector<std::string> handedOut;
    for (int i = 0; i < 7; ++i) {
        handedOut.push_back(nextUrl(queue));
    }
    EXPECT_EQ(handedOut,
              (std::vector<std::string>{"A a?f=1&l=11", "B b?f=1", "C c?f=1", "A a?f=11&l=21",
                                        "B b?f=11", "C c?f=11", "A a?f=21&l=31"}));
    // The queue keeps its templates; only the page state moves on.
    EXPECT_EQ(queue.GetAt(0)->url, "a?f=$FIRST$&l=$LAST$");
    EXPECT_EQ(queue.GetAt(1)->pageState, 10U + 21U * 256U);
}

TEST(JobQueue, AnEngineWhoseNextOffsetWouldWrapHasNoFurtherPage) {
    // Step 30 from offset 0: pages 0, 30, ... 240, then 270 would not fit the offset byte.
    // Step 10 from offset 1 (the default): pages 1, 11, ... 251.
    JobQueue queue;
    queue.Enqueue(makeJob("A", "$FIRST$", 30U));
    queue.Enqueue(makeJob("B", "$FIRST$"));
    std::vector<std::string> handedOut;
    for (int i = 0; i < 100 && queue.Count() > 0; ++i) {
        handedOut.push_back(nextUrl(queue));
    }
    std::vector<std::string> expected;
    for (int page = 0; page < 26; ++page) {
        if (page < 9) {
            expected.push_back("A " + std::to_string(page * 30));
        }
        expected.push_back("B " + std::to_string(1 + page * 10));
    }
    EXPECT_EQ(handedOut, expected);
    EXPECT_EQ(queue.Count(), 0);
    SearchJob out = makeJob("kept", "kept");
    EXPECT_FALSE(queue.NextJob(out)) << "a queue without pages hands out nothing";
    EXPECT_EQ(out.engineName, "kept");

    // The last page still gets its full "$LAST$".
    JobQueue last;
    last.Enqueue(makeJob("A", "$TRUN$ $FIRST$ $LAST$ $LAST$", 10U + 251U * 256U));
    EXPECT_EQ(nextUrl(last), "A 251 251 261 261");
    EXPECT_EQ(last.Count(), 0);

    // Bits above the offset are dropped once the job has been handed out.
    JobQueue high;
    high.Enqueue(makeJob("H", "$FIRST$", 0x10000U + 2561U));
    EXPECT_EQ(nextUrl(high), "H 10");
    EXPECT_EQ(high.GetAt(0)->pageState, 1U + 11U * 256U);
}

TEST(JobQueue, TokensAreReplacedOnlyWhereTheMethodSendsThem) {
    SearchJob post = makeJob("P", "http://p/$FIRST$");
    post.method = SearchJob::kMethodPost;
    post.body.set("from=$FIRST$&to=$LAST$");
    SearchJob get = makeJob("G", "http://g/?from=$FIRST$");
    get.body.set("$FIRST$");
    JobQueue queue;
    queue.Enqueue(post);
    queue.Enqueue(get);
    SearchJob out;
    queue.NextJob(out);
    EXPECT_EQ(out.url, "http://p/$FIRST$");
    EXPECT_EQ(out.body, "from=1&to=11");
    EXPECT_EQ(out.pageState, kDefaultPageState) << "the copy has the page it was handed out for";
    queue.NextJob(out);
    EXPECT_EQ(out.url, "http://g/?from=1");
    EXPECT_EQ(out.body, "$FIRST$");
}

TEST(JobQueue, WorksAsAFirstInFirstOutList) {
    JobQueue queue;
    queue.RemoveFirst();
    queue.Enqueue(makeJob("A", "a"));
    queue.Enqueue(makeJob("B", "b"));
    queue.Enqueue(makeJob("C", "c"));
    EXPECT_EQ(queue.GetAt(3), nullptr);
    queue.RemoveFirst();
    ASSERT_EQ(queue.Count(), 2);
    EXPECT_EQ(queue.GetAt(0)->engineName, "B");
    queue.Clear();
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(queue.GetAt(0), nullptr);
}
