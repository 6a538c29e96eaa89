#include "platform/DdeBridge.h"

#include <atomic>

namespace {

// Linux: DDE is "available" from initialisation on, but no server ever answers.
class UnansweredDdeBridge : public DdeBridge {
  public:
    bool Initialize() override {
        m_available = true;
        return true;
    }
    void Uninitialize() override {
        m_available = false;
    }
    bool IsAvailable() const override {
        return m_available;
    }
    bool Connect(std::string_view, std::string_view) override {
        return false;
    }
    void Request(std::string_view, int) override {
    }

  private:
    std::atomic<bool> m_available{false};
};

std::atomic<DdeBridge*> g_processDefault{nullptr};

} // namespace

DdeBridge::~DdeBridge() = default;

void DdeBridge::setProcessDefault(DdeBridge* bridge) {
    g_processDefault.store(bridge);
}

DdeBridge& DdeBridge::processDefault() {
    DdeBridge* bridge = g_processDefault.load();
    if (bridge == nullptr) {
        static UnansweredDdeBridge unanswered;
        return unanswered;
    }
    return *bridge;
}
