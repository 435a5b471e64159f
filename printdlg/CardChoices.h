#pragma once

#include "CardLayout.h"

#include <set>
#include <string>

// What the user chose for the cards, remembered from one print run to the
// next in the application's settings file (never in the data file).
namespace printdlg {

struct Choices {
    std::string senderName;  // UTF-8; empty for none
    postcard::Honorific honorific = postcard::Honorific::Sama;
    postcard::Numerals numerals = postcard::Numerals::Kanji;
    postcard::Typeface typeface = postcard::Typeface::Mincho;
    bool frames = false;
    double offsetX = 0;  // mm, within ±MAX_OFFSET
    double offsetY = 0;
    std::set<std::string> unchecked;  // the names of the people left unchecked
};

// Where Qt keeps the application's settings: kanaroku/kanaroku.conf under
// the user's configuration folder ($XDG_CONFIG_HOME, or ~/.config).
[[nodiscard]] std::string SettingsFilePath();

// The remembered choices; the default for each one that is missing, that
// cannot be read or that makes no sense.
[[nodiscard]] Choices LoadChoices();
void SaveChoices(const Choices& choices);

}  // namespace printdlg
