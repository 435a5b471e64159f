#pragma once

#include "AddressTable.h"
#include "SjisCodec.h"
#include "TestFiles.h"

#include <string>
#include <string_view>
#include <vector>

// The data file as UTF-8 lines, for comparing with what a test expects.
inline std::string BookText()
{
    return sjis::DecodeToUtf8(ReadFileBytes(ADDRESS_TABLE_FILE));
}

// Lines of the data file given as UTF-8, each ended by CR LF.
inline std::string BookLines(const std::vector<std::string_view>& lines)
{
    std::string text;
    for (const std::string_view line : lines)
        text.append(line).append("\r\n");
    return text;
}

inline void WriteBook(const std::vector<std::string_view>& lines)
{
    WriteFileBytes(ADDRESS_TABLE_FILE, *sjis::EncodeFromUtf8(BookLines(lines)));
}

// A vCard 3.0 file of cards, each given by its properties.
inline std::string CardFile(const std::vector<std::string>& cards)
{
    std::string text;
    for (const std::string& card : cards)
        text += "BEGIN:VCARD\r\nVERSION:3.0\r\n" + card + "END:VCARD\r\n";
    return text;
}
