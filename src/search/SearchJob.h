#pragma once

#include "model/FixedText.h"

#include <cstdint>

// One request to make: everything a worker needs to fetch one result page of one engine and to
// parse it. The queue stores and hands out copies.
struct SearchJob {
    static constexpr uint32_t kMethodGet = 1;
    static constexpr uint32_t kMethodPost = 16;
    static constexpr uint32_t kMethodHead = 256;

    uint32_t method = kMethodGet;
    // Page turning: bits 0-7 the step, bits 8-15 the current result offset.
    uint32_t pageState = 0;
    bool useProxy = false;
    FixedText<512> grammar;
    FixedText<255> url;
    FixedText<512> body;
    FixedText<21> engineName;
    FixedText<64> proxyHost;
    FixedText<8> proxyPort;
};
