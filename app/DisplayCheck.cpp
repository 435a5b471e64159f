#include "DisplayCheck.h"

#include <string_view>
#include <vector>

namespace {

bool IsSet(const EnvironmentLookup& environment, const char* name)
{
    const char* value = environment(name);
    return value != nullptr && *value != '\0';
}

// The platform names of QT_QPA_PLATFORM ("wayland;xcb", "xcb:option").
std::vector<std::string_view> PlatformNames(std::string_view list)
{
    std::vector<std::string_view> names;
    while (!list.empty()) {
        const std::size_t end = list.find(';');
        std::string_view entry = list.substr(0, end);
        entry = entry.substr(0, entry.find(':'));
        if (!entry.empty())
            names.push_back(entry);
        if (end == std::string_view::npos)
            break;
        list.remove_prefix(end + 1);
    }
    return names;
}

bool IsWayland(std::string_view platform)
{
    return platform.starts_with("wayland");
}

}  // namespace

std::optional<std::string> MissingDisplay(const EnvironmentLookup& environment)
{
    const bool x11 = IsSet(environment, "DISPLAY");
    const bool wayland = IsSet(environment, "WAYLAND_DISPLAY");
    const char* chosen = environment("QT_QPA_PLATFORM");
    const std::vector<std::string_view> platforms = PlatformNames(chosen != nullptr ? chosen : "");
    if (platforms.empty()) {
        // Qt's own choice: X11, or Wayland where its plugin is installed.
        if (x11 || wayland)
            return std::nullopt;
        return "DISPLAY is not set";
    }
    bool asksForX11 = false;
    for (const std::string_view platform : platforms) {
        if (platform == "xcb") {
            if (x11)
                return std::nullopt;
            asksForX11 = true;
        } else if (IsWayland(platform)) {
            if (wayland)
                return std::nullopt;
        } else {
            return std::nullopt;  // offscreen, vnc, eglfs, ...: no display server needed
        }
    }
    return asksForX11 ? "DISPLAY is not set" : "WAYLAND_DISPLAY is not set";
}
