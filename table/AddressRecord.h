#pragma once

// One person as stored on one line of the data file: fixed-width Shift_JIS
// text fields, each NUL-terminated within its width, and 32-bit integers.
// Copied by value; the kana-row code is not part of it.

inline constexpr int PHONE_KIND_COUNT = 4;  // 自宅, 携帯, PHS, ポケベル
inline constexpr int PHONE_PART_COUNT = 3;  // the three groups of a number
inline constexpr int PHONE_PART_SIZE = 8;

struct AddressRecord {
    char reading[64];
    char name[64];
    char address1[256];
    char address2[256];
    int birthYear;
    int birthMonth;
    int birthDay;
    int bloodType;  // 0 A, 1 B, 2 O, 3 AB, -1 none
    char email[64];
    char zip1[12];
    char zip2[12];
    int sex;  // 0 male, 1 female (-1 none, in the form)
    char phones[PHONE_KIND_COUNT][PHONE_PART_COUNT][PHONE_PART_SIZE];
};
