// kanaroku-zip CODE | ADDRESS | import FILE
// A code prints its addresses, an address its codes, one a line. Exit
// status 0 when something was found or imported, 1 when nothing was (or
// the import was refused), 2 on wrong usage.
#include "AddressKey.h"
#include "Dictionary.h"
#include "JapanPost.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int EXIT_NOT_FOUND = 1;
constexpr int EXIT_USAGE = 2;

constexpr const char* USAGE =
    "usage: kanaroku-zip 郵便番号        (1000005 または 100-0005: 住所を表示する)\n"
    "       kanaroku-zip 住所            (郵便番号を表示する)\n"
    "       kanaroku-zip import FILE     (日本郵便の utf_ken_all / ken_all / jigyosyo の zip か CSV を取り込む)\n";

constexpr const char* NO_DICTIONARY =
    "郵便番号辞書がありません。skkdic-extra パッケージを入れるか、日本郵便のデータを "
    "kanaroku-zip import で取り込んでください。\n";

int Usage()
{
    std::fputs(USAGE, stderr);
    return EXIT_USAGE;
}

int PrintAll(const std::vector<std::string>& lines, const postal::Dictionary& dictionary, const std::string& missing)
{
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
    if (!lines.empty())
        return 0;
    std::fputs(dictionary.IsEmpty() ? NO_DICTIONARY : missing.c_str(), stderr);
    return EXIT_NOT_FOUND;
}

std::string WithHyphen(const std::string& code)
{
    return code.substr(0, 3) + "-" + code.substr(3);
}

int LookUp(std::string_view text)
{
    const postal::Dictionary dictionary;
    if (const auto code = postal::ParseCode(text))
        return PrintAll(dictionary.Addresses(*code), dictionary,
                        "郵便番号 " + WithHyphen(*code) + " は辞書にありません。\n");
    if (postal::LooksLikeCode(text)) {
        std::fputs("郵便番号は 7 桁の数字です（1000005 または 100-0005）。\n", stderr);
        return Usage();
    }
    std::vector<std::string> codes = dictionary.Codes(text);
    for (std::string& code : codes)
        code = WithHyphen(code);
    return PrintAll(codes, dictionary, "この住所の町域は辞書にありません。\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string_view(argv[1]) == "import") {
        const postal::ImportResult result = postal::ImportJapanPostFile(argv[2], postal::DataDirectory());
        std::fputs(result.message.c_str(), result.ok ? stdout : stderr);
        return result.ok ? 0 : EXIT_NOT_FOUND;
    }
    if (argc != 2 || *argv[1] == '\0' || std::string_view(argv[1]) == "import")
        return Usage();
    if (std::string_view(argv[1]) == "--help") {
        std::fputs(USAGE, stdout);
        return 0;
    }
    return LookUp(argv[1]);
}
