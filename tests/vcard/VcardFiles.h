// What the vCard tests share: the data file as text, vCard files made of
// cards, and the real kanaroku-vcard binary.
#pragma once

#include "AddressTable.h"
#include "SjisCodec.h"
#include "TestFiles.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/wait.h>

namespace vcardtest {

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

// Runs kanaroku-vcard in the working directory: its exit status and all it printed.
inline std::pair<int, std::string> RunCli(const std::string& arguments)
{
    FILE* pipe = ::popen((KANAROKU_VCARD_CLI " " + arguments + " 2>&1").c_str(), "r");
    std::string printed;
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe))
        printed += static_cast<char>(c);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, printed};
}

}  // namespace vcardtest
