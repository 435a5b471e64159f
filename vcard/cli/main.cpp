// kanaroku-vcard export FILE.vcf | import FILE.vcf
// Works on ./AddressTable.csv like the program; prints the whole summary.
// Exit status 0 on success (skipped people included), 1 when a file could
// not be read or written, the vCard file holds no card or a malformed
// line stands in the way, 2 on wrong usage.
#include "VcardBook.h"
#include "Words.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs(vcard::words::Usage().c_str(), stderr);
        return EXIT_USAGE;
    }
    const std::string_view command = argv[1];
    if (command != "export" && command != "import") {
        std::fputs(vcard::words::Usage().c_str(), stderr);
        return EXIT_USAGE;
    }
    const vcard::Report report = command == "export" ? vcard::ExportBook(argv[2]) : vcard::ImportBook(argv[2]);
    const std::string summary = vcard::SummaryText(report, vcard::ALL_LINES);
    std::fputs(summary.c_str(), report.ok ? stdout : stderr);
    return report.ok ? 0 : EXIT_FAILED;
}
