#include "Table.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace postal {

void Table::Add(std::uint32_t code, std::string_view address, Level level)
{
    const std::size_t offset = text.size();
    text += address;
    AddPiece(code, offset, address.size(), level);
}

void Table::AddPiece(std::uint32_t code, std::size_t offset, std::size_t length, Level level)
{
    records.push_back({code, static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length), level});
}

void Table::SortByCode()
{
    const auto byCode = [](const Record& a, const Record& b) { return a.code < b.code; };
    if (!std::is_sorted(records.begin(), records.end(), byCode))
        std::stable_sort(records.begin(), records.end(), byCode);
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!in || error)
        return std::nullopt;
    std::string bytes(size, '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size)))
        return std::nullopt;
    return bytes;
}

std::uint32_t CodeNumber(std::string_view digits) noexcept
{
    std::uint32_t code = 0;
    for (const char c : digits)
        code = code * 10 + static_cast<std::uint32_t>(c - '0');
    return code;
}

std::string CodeText(std::uint32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "%07u", code);
    return text;
}

}  // namespace postal
