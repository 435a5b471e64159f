#pragma once

#include <functional>
#include <optional>
#include <string>

// Looks up an environment variable: nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// Why Qt would find no display to open windows on, as a short reason such
// as "DISPLAY is not set"; nullopt when a window can be opened. Qt aborts
// the process in that case, so the program asks before it starts Qt.
[[nodiscard]] std::optional<std::string> MissingDisplay(const EnvironmentLookup& environment);
