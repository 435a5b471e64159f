#include "DisplayCheck.h"

#include <gtest/gtest.h>

#include <map>

TEST(DisplayCheck, NamesTheMissingDisplayOnlyWhenQtWouldFindNone)
{
    const struct {
        const char* name;
        std::map<std::string, std::string> environment;
        std::optional<std::string> missing;
    } rows[] = {
        {"nothing set", {}, "DISPLAY is not set"},
        {"X11 display", {{"DISPLAY", ":0"}}, std::nullopt},
        {"empty DISPLAY counts as unset", {{"DISPLAY", ""}}, "DISPLAY is not set"},
        {"Wayland session", {{"WAYLAND_DISPLAY", "wayland-0"}}, std::nullopt},
        {"offscreen needs no display", {{"QT_QPA_PLATFORM", "offscreen"}}, std::nullopt},
        {"xcb chosen, only Wayland there", {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}},
         "DISPLAY is not set"},
        {"xcb with options", {{"QT_QPA_PLATFORM", "xcb:nograb"}, {"DISPLAY", ":1"}}, std::nullopt},
        {"wayland chosen, only X11 there", {{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}},
         "WAYLAND_DISPLAY is not set"},
        {"fallback list reaches xcb", {{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}}, std::nullopt},
        {"fallback list with neither", {{"QT_QPA_PLATFORM", "wayland;xcb"}}, "DISPLAY is not set"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto& set = row.environment;
        const auto lookup = [&set](const char* name) { return set.contains(name) ? set.at(name).c_str() : nullptr; };
        EXPECT_EQ(MissingDisplay(lookup), row.missing);
    }
}
