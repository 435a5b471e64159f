#include "CodeCheck.h"

#include "Dictionary.h"

#include <algorithm>

namespace printdlg {

namespace {

constexpr std::size_t CODES_NAMED = 3;

std::string Hyphenated(const std::string& digits)
{
    return digits.substr(0, 3) + "-" + digits.substr(3);
}

std::string Mismatch(const postal::Dictionary& dictionary, const postcard::CardPerson& person)
{
    const std::string code = postcard::ToUtf8(postcard::PostalDigits(person.zip1, person.zip2));
    if (code.empty())
        return {};
    const std::vector<std::string> codes = dictionary.Codes(person.address1);
    if (codes.empty() || std::find(codes.begin(), codes.end(), code) != codes.end())
        return {};
    std::string known;
    for (std::size_t i = 0; i < std::min(codes.size(), CODES_NAMED); ++i)
        known += (i > 0 ? "、" : "") + Hyphenated(codes[i]);
    if (codes.size() > CODES_NAMED)
        known += " など";
    return "郵便番号 " + Hyphenated(code) + " は住所と合いません (郵便番号辞書では " + known + ")";
}

}  // namespace

std::vector<std::string> CodeMismatches(const std::vector<postcard::BookPerson>& people)
{
    std::vector<std::string> mismatches(people.size());
    const postal::Dictionary dictionary;
    if (dictionary.IsEmpty())
        return mismatches;
    for (std::size_t i = 0; i < people.size(); ++i)
        mismatches[i] = Mismatch(dictionary, postcard::PersonOf(people[i].record));
    return mismatches;
}

}  // namespace printdlg
