#pragma once

#include <cstdint>

// A loopback port with nothing listening on it: a connect there is refused at once.
uint16_t closedLoopbackPort();
