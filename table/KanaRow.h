#pragma once

// The kana-row code stored as the first field of every line: 0 to 9 for the
// rows あ to わ, KANAROW_OTHER for any other reading. KANAROW_ALL is a query
// only and selects every line.
using KanaRow = int;

inline constexpr KanaRow KANAROW_ALL = 98;
inline constexpr KanaRow KANAROW_OTHER = 99;
