#pragma once

#include "Entry.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace postal {

// Entries as the dictionary holds them in memory: offsets into one text
// rather than a string each, which keeps the first look-up quick.
struct Record {
    std::uint32_t code = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    Level level = Level::Town;
};

struct Table {
    std::string text;
    std::vector<Record> records;  // by code

    [[nodiscard]] std::string_view Address(const Record& record) const noexcept
    {
        return std::string_view(text).substr(record.offset, record.length);
    }
    // Adds an address that is not already a piece of text.
    void Add(std::uint32_t code, std::string_view address, Level level);
    // Adds text[offset, offset + length).
    void AddPiece(std::uint32_t code, std::size_t offset, std::size_t length, Level level);
    void SortByCode();
};

// The file's bytes in one read; nullopt when it cannot be read.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// The seven digits as a number (leading zeros kept by the width).
[[nodiscard]] std::uint32_t CodeNumber(std::string_view digits) noexcept;
[[nodiscard]] std::string CodeText(std::uint32_t code);

}  // namespace postal
