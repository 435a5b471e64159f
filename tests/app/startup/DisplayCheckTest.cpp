#include "DisplayCheck.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace {

struct DisplayCase {
    const char* name;
    std::map<std::string, std::string> environment;
    std::optional<std::string> missing;
};

}  // namespace

TEST(DisplayCheck, NamesTheMissingDisplayOnlyWhenQtWouldFindNone)
{
    const DisplayCase rows[] = {
        {"nothing set", {}, "DISPLAY is not set"},
        {"X11 display", {{"DISPLAY", ":0"}}, std::nullopt},
        {"empty DISPLAY counts as unset", {{"DISPLAY", ""}}, "DISPLAY is not set"},
        {"Wayland session", {{"WAYLAND_DISPLAY", "wayland-0"}}, std::nullopt},
        {"empty platform is Qt's own choice", {{"QT_QPA_PLATFORM", ""}}, "DISPLAY is not set"},
        {"offscreen needs no display", {{"QT_QPA_PLATFORM", "offscreen"}}, std::nullopt},
        {"xcb chosen, only Wayland there", {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}},
         "DISPLAY is not set"},
        {"xcb with options", {{"QT_QPA_PLATFORM", "xcb:nograb"}, {"DISPLAY", ":1"}}, std::nullopt},
        {"wayland chosen, only X11 there", {{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}},
         "WAYLAND_DISPLAY is not set"},
        {"wayland-egl with its display", {{"QT_QPA_PLATFORM", "wayland-egl"}, {"WAYLAND_DISPLAY", "w"}}, std::nullopt},
        {"fallback list reaches xcb", {{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}}, std::nullopt},
        {"fallback list with neither", {{"QT_QPA_PLATFORM", "wayland;xcb"}}, "DISPLAY is not set"},
        {"fallback list ending in offscreen", {{"QT_QPA_PLATFORM", "xcb;offscreen"}}, std::nullopt},
    };
    for (const DisplayCase& row : rows) {
        SCOPED_TRACE(row.name);
        const auto lookup = [&row](const char* name) -> const char* {
            const auto found = row.environment.find(name);
            return found == row.environment.end() ? nullptr : found->second.c_str();
        };
        EXPECT_EQ(MissingDisplay(lookup), row.missing);
    }
}
