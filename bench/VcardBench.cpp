// kanaroku-vcard's two big jobs on a generated data file: the export of
// every person, and the import of 10,000 cards (a tenth of them names
// the book already holds, so the duplicate check is timed too). Each is
// run three times on a fresh copy of the book; the best wall and CPU
// seconds are printed as key=value pairs. Fails when a run exports or
// adds the wrong number of people.
//
// usage: vcard_bench FOLDER PERSONS   (FOLDER/AddressTable.csv, bench/make_table.py)
#include "AddressTable.h"
#include "CardExport.h"
#include "VcardBook.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int RUNS = 3;
constexpr int CARDS = 10000;
constexpr int KNOWN_NAMES = CARDS / 10;

struct Seconds {
    double wall = 1e9;
    double cpu = 1e9;
};

double CpuNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs job on a fresh copy of the book each time; the best of RUNS.
template <typename Job>
Seconds Best(const fs::path& book, Job job)
{
    Seconds best;
    for (int run = 0; run < RUNS; ++run) {
        fs::copy_file(book, ADDRESS_TABLE_FILE, fs::copy_options::overwrite_existing);
        const auto wall = std::chrono::steady_clock::now();
        const double cpu = CpuNow();
        job();
        best.cpu = std::min(best.cpu, CpuNow() - cpu);
        best.wall = std::min(best.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count());
    }
    return best;
}

// The first names of the book, as UTF-8.
std::vector<std::string> KnownNames()
{
    std::vector<std::string> names;
    CAddressTable table;
    AddressRecord record{};
    for (int more = table.GetFirst(record, KANAROW_ALL); more && names.size() < KNOWN_NAMES;
         more = table.GetNext(record, KANAROW_ALL))
        names.push_back(vcard::NameForSummary(record));
    return names;
}

// Cards as a phone exports them: new people, then the known names.
std::string CardFile(const std::vector<std::string>& knownNames)
{
    std::string cards;
    vcard::PersonText person;
    person.address1 = "東京都千代田区丸の内1-1-1";
    person.zip1 = "100";
    person.zip2 = "0005";
    person.email = "card@example.jp";
    person.birthYear = 1988;
    for (int i = 0; i < CARDS; ++i) {
        const std::string number = std::to_string(10000 + i);
        person.name = i < CARDS - KNOWN_NAMES ? "取込 太郎" + number : knownNames[i % knownNames.size()];
        person.reading = "とりこみ たろう" + number;
        person.phones[1] = vcard::PhoneParts{"090", number.substr(1), "5678"};
        (void)vcard::AppendCard(cards, person);
    }
    return cards;
}

int Fail(const std::string& why)
{
    std::fprintf(stderr, "vcard_bench: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return Fail("usage: vcard_bench FOLDER PERSONS");
    const fs::path book = fs::absolute(fs::path(argv[1]) / ADDRESS_TABLE_FILE);
    const int persons = std::atoi(argv[2]);
    const fs::path work = fs::temp_directory_path() / ("kanaroku-vcard-bench-" + std::to_string(::getpid()));
    fs::create_directories(work);
    fs::current_path(work);

    int exported = 0;
    const Seconds exportTime = Best(book, [&] { exported = vcard::ExportBook("export.vcf").done; });
    fs::copy_file(book, ADDRESS_TABLE_FILE, fs::copy_options::overwrite_existing);
    const std::vector<std::string> known = KnownNames();
    {
        std::FILE* out = std::fopen("import.vcf", "wb");
        const std::string cards = CardFile(known);
        std::fwrite(cards.data(), 1, cards.size(), out);
        std::fclose(out);
    }
    vcard::Report imported;
    const Seconds importTime = Best(book, [&] { imported = vcard::ImportBook("import.vcf"); });
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(work);

    if (exported != persons)
        return Fail(std::to_string(exported) + " persons exported, " + std::to_string(persons) + " expected");
    const int skipped = imported.Count(vcard::Heading::Skipped);
    if (!imported.ok || imported.done != CARDS - KNOWN_NAMES || skipped != KNOWN_NAMES)
        return Fail("import added " + std::to_string(imported.done) + " and skipped " + std::to_string(skipped));
    std::printf("persons=%d export_s=%.4f export_cpu_s=%.4f import_s=%.4f import_cpu_s=%.4f\n", persons,
                exportTime.wall, exportTime.cpu, importTime.wall, importTime.cpu);
    return 0;
}
