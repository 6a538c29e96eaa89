// Benchmark of link validation, printed as a ratio against the ideal of the same run: 400
// loopback addresses whose server answers each HEAD after 100 ms, checked eight at once, take
// at best 400 / 8 x 100 ms; the wall time over that ideal should be at most 1.3.

#include "platform/UiDispatcher.h"
#include "results/CURLCheck.h"
#include "results/LinkCheckManager.h"
#include "results/LinkCheckTarget.h"

#include "support/EventLoopWait.h"
#include "support/FixtureServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr int kAddresses = 400;
constexpr int kAnswerDelayMs = 100;
constexpr int kLongestRunMs = 120000;
constexpr int kDrainMs = 5000;
constexpr double kGoal = 1.3;

class CountingTarget : public LinkCheckTarget {
  public:
    void OnRowState(int32_t, LinkState state) override {
        if (state == LinkState::Valid) {
            ++valid;
        }
        ++states;
    }
    void OnAllChecked() override {
        done = true;
    }

    int states = 0;
    int valid = 0;
    bool done = false;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    UiDispatcher::Init();
    FixtureServer server([](const std::string&) {
        FixtureReply reply;
        reply.bytes = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
        reply.delay = std::chrono::milliseconds(kAnswerDelayMs);
        return reply;
    });
    CountingTarget target;
    LinkCheckManager manager;
    manager.SetTarget(&target);
    for (int row = 0; row < kAddresses; ++row) {
        manager.Add(server.Url("/page/" + std::to_string(row)), row);
    }
    QElapsedTimer wall;
    wall.start();
    manager.StartChecks();
    runEventsUntil([&target] { return target.done; }, kLongestRunMs);
    const qint64 elapsedMs = wall.elapsed();
    CURLCheck::WaitForAllEnded(kDrainMs);

    const double idealMs =
        static_cast<double>(kAddresses) / LinkCheckManager::kMaxCheckers * kAnswerDelayMs;
    const double ratio = static_cast<double>(elapsedMs) / idealMs;
    std::printf("link validation: %d addresses answering after %d ms, %d at once: %lld ms, "
                "%d of %d valid\n",
                kAddresses, kAnswerDelayMs, LinkCheckManager::kMaxCheckers,
                static_cast<long long>(elapsedMs), target.valid, target.states);
    std::printf("  ratio wall / ideal (%.0f ms): %.2f (goal: at most %.1f)\n", idealMs, ratio,
                kGoal);
    return 0;
}
