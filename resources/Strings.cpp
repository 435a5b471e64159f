#include "Resources.h"

#include <array>

// The string table. Half-width katakana stay half-width: they are what the
// user has always seen in these messages.

namespace {

struct StringResource {
    int id;
    const char* text;  // UTF-8
};

constexpr std::array kStrings = std::to_array<StringResource>({
    {IDS_ABOUTBOX, "ﾊﾞｰｼﾞｮﾝ情報(Kanaroku) (&A)..."},
    {IDS_SOCKETS_INIT_FAILED, "Windows ｿｹｯﾄの初期化に失敗しました。"},
    {IDS_APP_TITLE, "なまえ☆ばこ！"},
    // Messages of the data exchange's checks; %1 and %2 are filled in.
    {IDS_PARSE_UINT, "正の整数を入力してください。"},
    {IDS_PARSE_RANGE, "%1 から %2 までの整数を入力してください。"},
    {IDS_PARSE_TEXT_LENGTH, "%1 文字以内で入力してください。"},
    {IDS_INTERNAL_ERROR, "ｱﾌﾟﾘｹｰｼｮﾝの内部ｴﾗｰです。"},
});

}  // namespace

const char* FindString(int id) noexcept
{
    for (const StringResource& entry : kStrings) {
        if (entry.id == id)
            return entry.text;
    }
    return nullptr;
}
