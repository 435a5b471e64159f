#pragma once

#include "AddressTable.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Shift_JIS (CP932) bytes of UTF-8 text, so that tests can be written in
// readable Japanese.
[[nodiscard]] std::string Sjis(std::string_view utf8);

// Fields joined with ','; no line end.
[[nodiscard]] std::string Join(std::initializer_list<std::string_view> fields);

// A well-formed 25-field line of a person with the given code and name,
// followed by lineEnd.
[[nodiscard]] std::string PersonLine(std::string_view code, std::string_view name, std::string_view lineEnd = "\r\n");

// The record of PersonLine("3", name): reading と (row 3).
[[nodiscard]] AddressRecord SampleRecord(std::string_view name);

// A record of 0xEE bytes everywhere, to see what a call leaves alone.
[[nodiscard]] AddressRecord PoisonedRecord();

// The names of a whole scan: GetFirst then GetNext until 0.
[[nodiscard]] std::vector<std::string> ScanNames(CAddressTable& table, KanaRow kanaRow);
