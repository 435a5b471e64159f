#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// How addresses and codes are compared: the forms a user may type for the
// same place are made one before the dictionary is searched.
namespace postal {

inline constexpr std::array<std::string_view, 47> PREFECTURES{
    "北海道", "青森県", "岩手県", "宮城県",   "秋田県", "山形県",   "福島県", "茨城県", "栃木県", "群馬県",
    "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県",   "石川県", "福井県", "山梨県", "長野県",
    "岐阜県", "静岡県", "愛知県", "三重県",   "滋賀県", "京都府",   "大阪府", "兵庫県", "奈良県", "和歌山県",
    "鳥取県", "島根県", "岡山県", "広島県",   "山口県", "徳島県",   "香川県", "愛媛県", "高知県", "福岡県",
    "佐賀県", "長崎県", "熊本県", "大分県",   "宮崎県", "鹿児島県", "沖縄県",
};

inline constexpr int NO_PREFECTURE = -1;

// The index in PREFECTURES of the prefecture the text begins with, or
// NO_PREFECTURE.
[[nodiscard]] int PrefectureAt(std::string_view text) noexcept;

// The text compared: NFKC (full-width digits and letters), ヶ ケ が ガ as
// one, 之 as の, dashes as one, no spaces, and a number before 条, 丁目 or
// 線 in kanji (北10条西 reads 北十条西).
[[nodiscard]] std::string MatchKey(std::string_view utf8);

// Whether MatchKey leaves the text as it is (most dictionary lines): a
// quick scan that spares building a key.
[[nodiscard]] bool IsMatchKey(std::string_view utf8) noexcept;

// The seven digits of a postal code typed as 1000005, 100-0005, full
// width or after 〒; nullopt for anything else.
[[nodiscard]] std::optional<std::string> ParseCode(std::string_view utf8);

// Whether the text is only digits and dashes (what a user types for a
// code, right or wrong).
[[nodiscard]] bool LooksLikeCode(std::string_view utf8);

// The text without Japan Post's notes in full-width parentheses
// (（次のビルを除く）, （１～３丁目）…); text after an unmatched ） goes too.
[[nodiscard]] std::string WithoutNotes(std::string_view utf8);

}  // namespace postal
