#include "results/CURLCheck.h"
#include "results/LinkCheckManager.h"
#include "results/LinkCheckTarget.h"

#include "support/EventLoopWait.h"
#include "support/FixtureServer.h"
#include "support/RealPeers.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace {

constexpr int kWaitMs = 10000;
// Long enough that a checker waiting for it is surely still running when the test looks, also
// on a loaded machine under a sanitizer.
constexpr int kHeldAnswerMs = 2000;
// Far longer than any wait of a test that passes (the server's delays end when it stops).
constexpr int kLongHeldAnswerMs = 3 * kWaitMs;

// Stands in for the results view: rows in display order, each found by an id that stays with
// it, so rows can be deleted while their addresses are checked.
class FakeView : public LinkCheckTarget {
  public:
    struct Row {
        int32_t id = 0;
        LinkState state = LinkState::NotChecked;
    };

    void OnRowState(int32_t id, LinkState state) override {
        const auto row = Find(id);
        if (row == rows.end()) {
            ++ignored;
            return;
        }
        row->state = state;
        ++delivered;
    }
    void OnAllChecked() override {
        ++allChecked;
    }
    std::vector<Row>::iterator Find(int32_t id) {
        return std::find_if(rows.begin(), rows.end(),
                            [id](const Row& row) { return row.id == id; });
    }

    std::vector<Row> rows;
    int delivered = 0;
    int ignored = 0;
    int allChecked = 0;
};

// The path of a request line "HEAD /path HTTP/1.0".
std::string pathOf(const std::string& request) {
    const std::size_t begin = request.find(' ') + 1;
    return request.substr(begin, request.find(' ', begin) - begin);
}

FixtureReply replyWith(std::string bytes, int delayMs = 0) {
    FixtureReply reply;
    reply.bytes = std::move(bytes);
    reply.delay = std::chrono::milliseconds(delayMs);
    return reply;
}

// Adds one row per address, with ids from 0, and starts checking them.
void checkAll(LinkCheckManager& manager, FakeView& view, const std::vector<std::string>& urls) {
    manager.SetTarget(&view);
    for (const std::string& url : urls) {
        const int32_t id = static_cast<int32_t>(view.rows.size());
        view.rows.push_back({id, LinkState::NotChecked});
        manager.Add(url, id);
    }
    manager.StartChecks();
}

} // namespace

TEST(LinkState, ClassifiesTheStatusLine) {
    const std::pair<std::string_view, LinkState> cases[] = {
        {"HTTP/1.0 200 OK\r\n\r\n", LinkState::Valid},
        {"HTTP/1.1 404 Not Found\r\n", LinkState::Invalid},
        {"HTTP/1.1 301 Moved Permanently\r\n", LinkState::Unknown},
        {"HTTP/1.1 500 Server Error\r\n", LinkState::Unknown},
        {"HTTP/1.0 199 x", LinkState::Unknown},
        {"HTTP/1.0 299 x", LinkState::Valid},
        {"HTTP/1.0 399 x", LinkState::Unknown},
        {"HTTP/1.0 400", LinkState::Invalid},
        {"HTTP/1.0 499 x", LinkState::Invalid},
        {"HTTP/1.0 2000 x", LinkState::Valid}, // three bytes make the code
        {"HTTP/1.0 20", LinkState::Unknown},
        {"HTTP/1.0  200 x", LinkState::Unknown}, // the code begins right after the first space
        {"HTTP/ 404", LinkState::Invalid},
        {"HTTP/1.10 200 OK", LinkState::Valid},    // first space at index 9
        {"HTTP/1.100 200 OK", LinkState::Unknown}, // first space at index 10
        {"http/1.0 200 OK", LinkState::Unknown},
        {"<html>200</html>", LinkState::Unknown},
        {"", LinkState::Unknown},
    };
    for (const auto& [response, state] : cases) {
        EXPECT_EQ(ClassifyLinkResponse(response), state) << response;
    }
}

TEST(LinkCheck, ClassifiesRealAnswersAndFailures) {
    TempDir root;
    writeFileBytes(root.file("index.html"), "<html>home</html>\n");
    NginxOrigin nginx;
    ASSERT_TRUE(nginx.Start(root.path())) << nginx.Error();
    FixtureServer server([](const std::string& request) {
        const std::string path = pathOf(request);
        if (path == "/error") {
            return replyWith("HTTP/1.1 500 Server Error\r\n\r\n");
        }
        if (path == "/garbage") {
            return replyWith("<html>200 OK</html>");
        }
        return replyWith(""); // closes without a byte
    });
    const std::string origin = "http://127.0.0.1:" + std::to_string(nginx.Port());
    FakeView view;
    LinkCheckManager manager;
    checkAll(manager, view,
             {origin + "/index.html", origin + "/missing.html", origin + "/moved",
              server.Url("/error"), server.Url("/garbage"), server.Url("/nothing"),
              "http://nonexistent.invalid/", server.Url("/" + std::string(260, 'a'))});
    ASSERT_TRUE(runEventsUntil([&] { return view.allChecked > 0; }, kWaitMs));

    const LinkState expected[] = {LinkState::Valid,   LinkState::Invalid, LinkState::Unknown,
                                  LinkState::Unknown, LinkState::Unknown, LinkState::Unknown,
                                  LinkState::Unknown, LinkState::Unknown};
    for (std::size_t i = 0; i < view.rows.size(); ++i) {
        EXPECT_EQ(view.rows[i].state, expected[i]) << "row " << i;
    }
    const std::vector<std::string> requests = server.WaitForRequests(3, std::chrono::seconds(5));
    EXPECT_EQ(requests.size(), 3u) << "an address too long to queue is not checked cut short";
    EXPECT_EQ(requests[0].substr(0, 5), "HEAD ");
    EXPECT_TRUE(CURLCheck::WaitForAllEnded(kWaitMs));
}

TEST(LinkCheck, ChecksIpv6Addresses) {
    FixtureServer server(FixtureServer::Answering("HTTP/1.0 404 Not Found\r\n\r\n"), {},
                         FixtureServer::Loopback::Ipv6);
    if (!server.Listening()) {
        GTEST_SKIP() << "no ::1 on this machine";
    }
    FakeView view;
    LinkCheckManager manager;
    checkAll(manager, view, {server.Url("/gone")});
    ASSERT_TRUE(runEventsUntil([&] { return view.allChecked > 0; }, kWaitMs));
    EXPECT_EQ(view.rows[0].state, LinkState::Invalid) << "a failed exchange would be unknown";
    EXPECT_TRUE(CURLCheck::WaitForAllEnded(kWaitMs));
}

TEST(LinkCheck, RunsEightAtOnceInQueueOrderAndStopsAtOnce) {
    // Each request is held until the test lets one answer.
    std::mutex mutex;
    std::condition_variable released;
    int releases = 0;
    FixtureServer server([&](const std::string&) {
        std::unique_lock<std::mutex> lock(mutex);
        released.wait_for(lock, std::chrono::milliseconds(kWaitMs), [&] { return releases > 0; });
        releases = std::max(releases - 1, 0);
        return replyWith("HTTP/1.0 200 OK\r\n\r\n");
    });
    const auto release = [&](int count) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            releases += count;
        }
        released.notify_all();
    };
    FakeView view;
    LinkCheckManager manager;
    manager.StartChecks();
    EXPECT_EQ(manager.Running(), 0) << "nothing to check starts nothing";

    std::vector<std::string> urls;
    for (int i = 0; i < 12; ++i) {
        urls.push_back(server.Url("/" + std::to_string(i)));
    }
    checkAll(manager, view, urls);
    const auto connections = [&server] { return server.Requests().size(); };
    ASSERT_TRUE(runEventsUntil([&] { return connections() == 8; }, kWaitMs));
    runEventsFor(300);
    EXPECT_EQ(connections(), 8u);
    EXPECT_EQ(manager.Waiting(), 4);

    release(1);
    ASSERT_TRUE(runEventsUntil([&] { return connections() == 9; }, kWaitMs));
    runEventsFor(300);
    EXPECT_EQ(connections(), 9u) << "one freed slot, one new check";
    EXPECT_EQ(manager.Running(), 8);
    EXPECT_EQ(view.delivered, 1);
    std::set<std::string> firstEight;
    const std::vector<std::string> requests = server.Requests();
    for (std::size_t i = 0; i < 8; ++i) {
        firstEight.insert(pathOf(requests[i]));
    }
    EXPECT_EQ(firstEight, (std::set<std::string>{"/0", "/1", "/2", "/3", "/4", "/5", "/6", "/7"}));
    EXPECT_EQ(pathOf(requests[8]), "/8");

    manager.StopAll();
    EXPECT_EQ(manager.Running() + manager.Waiting(), 0);
    EXPECT_TRUE(CURLCheck::WaitForAllEnded(kWaitMs / 2)) << "stopped checkers end at once";
    release(static_cast<int>(urls.size()));
    runEventsFor(300);
    EXPECT_EQ(connections(), 9u);
    EXPECT_EQ(view.delivered + view.ignored + view.allChecked, 1) << "nothing after the stop";
}

TEST(LinkCheck, StatesFindTheirRowsWhileRowsAreDeleted) {
    FixtureServer server([](const std::string& request) {
        const std::string path = pathOf(request);
        if (path == "/slow") {
            return replyWith("HTTP/1.0 200 OK\r\n\r\n", kHeldAnswerMs);
        }
        if (path == "/gone") {
            return replyWith("HTTP/1.0 404 Not Found\r\n\r\n");
        }
        if (path == "/error") {
            return replyWith("HTTP/1.0 503 Busy\r\n\r\n");
        }
        return replyWith("HTTP/1.0 200 OK\r\n\r\n");
    });
    FakeView view;
    LinkCheckManager manager;
    checkAll(manager, view,
             {server.Url("/gone"), server.Url("/slow"), server.Url("/ok"), server.Url("/gone"),
              server.Url("/error"), server.Url("/slow")});
    view.rows.push_back({6, LinkState::NotChecked}); // a row nobody validated
    ASSERT_TRUE(runEventsUntil([&] { return view.delivered == 4; }, kWaitMs));
    ASSERT_EQ(view.Find(1)->state, LinkState::NotChecked) << "the slow checks still run";

    // The user deletes a row whose check runs, then the invalid rows.
    view.rows.erase(view.Find(5));
    const int32_t removed = LinkCheckManager::DeleteInvalid(
        static_cast<int32_t>(view.rows.size()),
        [&view](int32_t index) { return view.rows[static_cast<std::size_t>(index)].state; },
        [&view](int32_t index) { view.rows.erase(view.rows.begin() + index); });
    EXPECT_EQ(removed, 2);

    ASSERT_TRUE(runEventsUntil([&] { return view.allChecked > 0; }, kWaitMs));
    std::vector<std::pair<int32_t, LinkState>> left;
    for (const FakeView::Row& row : view.rows) {
        left.emplace_back(row.id, row.state);
    }
    EXPECT_EQ(left, (std::vector<std::pair<int32_t, LinkState>>{{1, LinkState::Valid},
                                                                {2, LinkState::Valid},
                                                                {4, LinkState::Unknown},
                                                                {6, LinkState::NotChecked}}));
    EXPECT_EQ(view.ignored, 1) << "the deleted row's state is dropped";
    EXPECT_TRUE(CURLCheck::WaitForAllEnded(kWaitMs));
}

TEST(LinkCheck, WaitingForTheCheckersEndsWhenTheLastOneHasEnded) {
    FixtureServer server(
        [](const std::string&) { return replyWith("HTTP/1.0 200 OK\r\n\r\n", kHeldAnswerMs); });
    FakeView view;
    LinkCheckManager manager;
    checkAll(manager, view, {server.Url("/a"), server.Url("/b")});
    EXPECT_EQ(CURLCheck::LiveCount(), 2);
    EXPECT_FALSE(CURLCheck::WaitForAllEnded(100)) << "the answers are still held";
    EXPECT_EQ(CURLCheck::LiveCount(), 2);

    const auto begin = std::chrono::steady_clock::now();
    EXPECT_TRUE(CURLCheck::WaitForAllEnded(kWaitMs));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(kWaitMs / 2))
        << "the wait ends with the last checker, not at its time limit";
    EXPECT_EQ(CURLCheck::LiveCount(), 0);
    EXPECT_EQ(view.delivered, 2) << "the wait hands over what the checkers report";
    EXPECT_EQ(view.allChecked, 1);
}

TEST(LinkCheck, AManagerThatGoesStopsItsCheckersAndNoStateOutlivesIt) {
    FixtureServer server([](const std::string& request) {
        return replyWith("HTTP/1.0 200 OK\r\n\r\n",
                         pathOf(request) == "/held" ? kLongHeldAnswerMs : 0);
    });
    FakeView view;
    {
        LinkCheckManager manager;
        checkAll(manager, view, {server.Url("/now"), server.Url("/held"), server.Url("/now")});
        // Polled without running events, so that no state can be handed over meanwhile.
        const auto allSent = [&server] {
            const std::vector<std::string> requests = server.Requests();
            return requests.size() == 3 &&
                   std::all_of(requests.begin(), requests.end(), [](const std::string& request) {
                       return request.find("\r\n\r\n") != std::string::npos;
                   });
        };
        const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (!allSent() && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(allSent());
        // No events run meanwhile, so the quick checkers wait to hand over their states.
        std::this_thread::sleep_for(std::chrono::milliseconds(kHeldAnswerMs / 2));
        EXPECT_EQ(view.delivered, 0);
    }
    EXPECT_TRUE(CURLCheck::WaitForAllEnded(kWaitMs))
        << "the held check is abandoned with its manager";
    EXPECT_EQ(view.delivered + view.ignored + view.allChecked, 0) << "nothing after the manager";
}
