#include "Words.h"

#include <cstring>

namespace vcard::words {

namespace {

std::string Count(int value, const char* unit)
{
    return std::to_string(value) + " " + unit;
}

std::string WhyNot(int error)
{
    return std::string(" (") + std::strerror(error) + ")";
}

constexpr std::string_view DATE_KEPT = "、1970年1月1日のままにしました";

std::string BirthDate(std::string_view text, std::string_view why)
{
    return "誕生日" + Quoted(text) + std::string(why) + std::string(DATE_KEPT);
}

}  // namespace

std::string Imported(const std::string& fileName, int people)
{
    return fileName + " から " + Count(people, PEOPLE) + "を取り込みました。\n";
}

std::string Exported(int people, const std::string& fileName)
{
    return Count(people, PEOPLE) + "を " + fileName + " に書き出しました。\n";
}

std::string HeadingLine(const char* heading, int count, const char* unit)
{
    return std::string(heading) + ": " + Count(count, unit) + "\n";
}

std::string LineUnder(const std::string& who, const std::string& what)
{
    return "・" + who + ": " + what + "\n";
}

std::string MoreLines(std::size_t left)
{
    return "他 " + std::to_string(left) + " " + ITEMS + "\n";
}

std::string CannotOpenDataFile()
{
    return std::string(ADDRESS_TABLE_FILE) + " を開けません";
}

std::string MalformedLine(const ScanStatus& status)
{
    const std::string line = std::string(ADDRESS_TABLE_FILE) + " の " + std::to_string(status.lineNumber) + " 行目";
    const std::string rest = "、それ以降のデータを読み込めません";
    switch (status.malformed) {
    case ::MalformedLine::TooLong:
        return line + "が長すぎるため（1 行 4095 バイトまで）" + rest;
    case ::MalformedLine::Nul:
        return line + "に NUL 文字があるため" + rest;
    case ::MalformedLine::Empty:
        return line + "の形式が正しくないため（空行です）" + rest;
    case ::MalformedLine::TooFewFields:
        break;
    }
    return line + "の形式が正しくないため（項目が 25 個必要ですが " + std::to_string(status.fieldCount)
           + " 個しかありません）" + rest;
}

std::string ExportOntoDataFile(const std::string& fileName)
{
    return fileName + " はデータファイルそのものなので、書き出し先にできません";
}

std::string NoDataFileHere()
{
    return std::string("このフォルダに ") + ADDRESS_TABLE_FILE + " がありません";
}

std::string CannotWrite(const std::string& fileName, int error)
{
    return fileName + " に書き出せませんでした" + WhyNot(error);
}

std::string CannotRead(const std::string& fileName, int error)
{
    return fileName + " を読めません" + WhyNot(error);
}

std::string NoCards(const std::string& fileName)
{
    return fileName + " に vCard のカード (BEGIN:VCARD) が見つかりませんでした";
}

std::string AppendFailed(bool unfinishedLineLeft)
{
    return std::string(ADDRESS_TABLE_FILE)
           + (unfinishedLineLeft ? " に書き込めませんでした。ファイルの最後に書きかけの行が残っています"
                                 : " に書き込めませんでした。ファイルは元のままです");
}

std::string UnreadableBytes(std::string_view label)
{
    return Quoted(label) + "に Shift_JIS として読めないバイトがあります";
}

std::string CardNumbered(int number)
{
    return "(" + std::to_string(number) + " 枚目のカード)";
}

std::string CommaIn(std::string_view label)
{
    return Quoted(label) + "にカンマ (,) があります";
}

std::string ControlCharacterIn(std::string_view label)
{
    return Quoted(label) + "に改行か制御文字があります";
}

std::string NotInShiftJis(std::string_view label)
{
    return Quoted(label) + "に Shift_JIS にない文字があります";
}

std::string OverLimit(std::string_view label, std::size_t limit)
{
    return Quoted(label) + "が " + std::to_string(limit) + " バイトを超えています";
}

std::string Quoted(std::string_view text)
{
    return "「" + std::string(text) + "」";
}

std::string BirthDateWithoutYear(std::string_view text)
{
    return BirthDate(text, "に年がないため");
}

std::string BirthDateUnreadable(std::string_view text)
{
    return BirthDate(text, "が読めないため");
}

std::string BirthDateOutsideYears(std::string_view text)
{
    return BirthDate(text, "が 1900〜2099 年の外にあるため");
}

std::string Usage()
{
    const std::string file(ADDRESS_TABLE_FILE);
    return "usage: kanaroku-vcard export FILE.vcf   (" + file + " の全員を書き出す)\n"
           + "       kanaroku-vcard import FILE.vcf   (新しい人を " + file + " に追加する)\n";
}

}  // namespace vcard::words
