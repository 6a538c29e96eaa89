#pragma once

#include <string>

// The proxy settings of one search, read once when its jobs are built and copied into each.
struct ProxySettings {
    // Send every request through the proxy.
    bool useProxy = false;
    // The proxy's host name or dotted address.
    std::string host;
    // The proxy's port as decimal text.
    std::string port;
};
