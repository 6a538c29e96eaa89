#pragma once

// The program's name as its window title and the caption of its own messages show it.
inline constexpr const char* kAppTitle = "Vantorell 2001";
