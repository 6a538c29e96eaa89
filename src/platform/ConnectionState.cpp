#include "platform/ConnectionState.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ifaddrs.h>
#include <net/if.h>
#include <sstream>
#include <string>

namespace {

constexpr const char* kOverrideVariable = "VANTORELL_CONNECTED";
constexpr const char* kRouteTable = "/proc/net/route";
// In the kernel's route table a default route has destination 00000000.
constexpr const char* kDefaultDestination = "00000000";

} // namespace

ConnectionState::~ConnectionState() = default;

bool ConnectionState::IsConnected() const {
    const char* forced = std::getenv(kOverrideVariable);
    if (forced != nullptr && forced[0] != '\0') {
        return std::strcmp(forced, "0") != 0;
    }
    return HasDefaultRoute() || HasUpInterface();
}

bool ConnectionState::HasDefaultRoute() {
    std::ifstream routes(kRouteTable);
    std::string line;
    std::getline(routes, line); // column titles
    while (std::getline(routes, line)) {
        std::istringstream fields(line);
        std::string interfaceName;
        std::string destination;
        fields >> interfaceName >> destination;
        if (destination == kDefaultDestination) {
            return true;
        }
    }
    return false;
}

bool ConnectionState::HasUpInterface() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return false;
    }
    bool found = false;
    for (ifaddrs* entry = list; entry != nullptr && !found; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        const bool up = (flags & IFF_UP) != 0 && (flags & IFF_RUNNING) != 0;
        const bool loopback = (flags & IFF_LOOPBACK) != 0;
        found = up && !loopback && entry->ifa_addr != nullptr;
    }
    ::freeifaddrs(list);
    return found;
}
