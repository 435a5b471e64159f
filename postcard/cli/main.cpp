// kanaroku-hagaki: the people of ./AddressTable.csv as vertical address
// cards (はがき宛名), one PDF page each, in the order the list shows them.
// Exit status 0 when the file was written (people left out included), 1
// when it could not be, 2 on wrong usage.
#include "CardBook.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

constexpr const char* USAGE =
    "usage: kanaroku-hagaki [--sender NAME] [--honorific 様|殿|御中|none] [--numerals kanji|arabic]\n"
    "                       [--font mincho|gothic] [--frames] [--offset X,Y] OUT.pdf [NAME ...]\n"
    "  AddressTable.csv の人 (NAME を指定したときはその名前の人) の宛名を 1 枚 1 ページで OUT.pdf に書く\n";

using postcard::CardRequest;

bool TakeHonorific(std::string_view value, CardRequest& request)
{
    const struct {
        std::string_view name;
        postcard::Honorific honorific;
    } HONORIFICS[] = {{"様", postcard::Honorific::Sama},
                      {"殿", postcard::Honorific::Dono},
                      {"御中", postcard::Honorific::Onchu},
                      {"none", postcard::Honorific::None}};
    for (const auto& [name, honorific] : HONORIFICS) {
        if (value == name) {
            request.options.honorific = honorific;
            return true;
        }
    }
    return false;
}

// "X,Y" in millimetres, each within ±5.
bool TakeOffset(const std::string& value, CardRequest& request)
{
    const std::size_t comma = value.find(',');
    if (comma == std::string::npos)
        return false;
    const auto number = [](const std::string& text) -> std::optional<double> {
        char* end = nullptr;
        const double parsed = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !(parsed >= -postcard::MAX_OFFSET && parsed <= postcard::MAX_OFFSET))
            return std::nullopt;
        return parsed;
    };
    const auto x = number(value.substr(0, comma));
    const auto y = number(value.substr(comma + 1));
    if (!x || !y)
        return false;
    request.options.offsetX = *x;
    request.options.offsetY = *y;
    return true;
}

// One option with its value; false on a value it does not take.
bool TakeOption(std::string_view option, const std::string& value, CardRequest& request)
{
    if (option == "--sender") {
        request.senderName = value;
        return !value.empty();
    }
    if (option == "--honorific")
        return TakeHonorific(value, request);
    if (option == "--numerals" && (value == "kanji" || value == "arabic")) {
        request.options.numerals = value == "kanji" ? postcard::Numerals::Kanji : postcard::Numerals::Arabic;
        return true;
    }
    if (option == "--font" && (value == "mincho" || value == "gothic")) {
        request.options.typeface = value == "mincho" ? postcard::Typeface::Mincho : postcard::Typeface::Gothic;
        return true;
    }
    if (option == "--offset")
        return TakeOffset(value, request);
    return false;
}

std::optional<CardRequest> ParseArguments(int argc, char** argv)
{
    CardRequest request;
    int at = 1;
    for (; at < argc; ++at) {
        const std::string argument = argv[at];
        if (argument == "--") {
            ++at;
            break;
        }
        if (argument.rfind("--", 0) != 0)
            break;
        if (argument == "--frames") {
            request.options.frames = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        std::string value;
        if (equals != std::string::npos)
            value = argument.substr(equals + 1);
        else if (at + 1 < argc)
            value = argv[++at];
        else
            return std::nullopt;
        if (!TakeOption(option, value, request))
            return std::nullopt;
    }
    if (at >= argc)
        return std::nullopt;
    request.path = argv[at++];
    request.names.assign(argv + at, argv + argc);
    return request;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<CardRequest> request = ParseArguments(argc, argv);
    if (!request) {
        std::fputs(USAGE, stderr);
        return EXIT_USAGE;
    }
    // Fonts need a GUI application, never a display.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const postcard::CardRun run = postcard::WriteBookCards(*request);
    const std::string summary = postcard::SummaryText(run, request->path);
    std::fputs(summary.c_str(), run.written ? stdout : stderr);
    return run.written ? 0 : EXIT_FAILED;
}
