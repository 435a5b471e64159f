// The table layer's scans on generated data files: a full scan, a scan of
// one kana row, a lookup by name that finds the last person, Register's
// duplicate check, and the kana-row classification of readings.
//
// usage: table_bench --data=DIR --persons=1000,100000,... [benchmark flags]
// where DIR/<persons>/AddressTable.csv exist (bench/make_table.py).
#include "AddressTable.h"
#include "AllocationCounter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// What one full scan of a file showed, before any timing.
struct DataFile {
    std::filesystem::path dir;
    long persons = 0;
    long long bytes = 0;
    std::string lastName;    // the last person's name (unique in the file)
    std::string absentName;  // a name that is in no line of the file
};

void EnterDir(const DataFile& data)
{
    if (::chdir(data.dir.c_str()) != 0)
        throw std::runtime_error("cannot enter " + data.dir.string());
}

DataFile Survey(const std::filesystem::path& dir)
{
    DataFile data;
    data.dir = dir;
    EnterDir(data);
    data.bytes = static_cast<long long>(std::filesystem::file_size(dir / ADDRESS_TABLE_FILE));
    CAddressTable table;
    AddressRecord record{};
    for (int more = table.GetFirst(record, KANAROW_ALL); more; more = table.GetNext(record, KANAROW_ALL)) {
        ++data.persons;
        data.lastName = record.name;
    }
    data.absentName = data.lastName + "2";
    return data;
}

void Report(benchmark::State& state, const DataFile& data, long long allocations, long delivered)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * data.bytes);
    state.counters["persons"] = static_cast<double>(data.persons);
    state.counters["delivered"] = static_cast<double>(delivered);
    state.counters["allocs_per_scan"] = static_cast<double>(allocations) / static_cast<double>(state.iterations());
}

void FullScan(benchmark::State& state, const DataFile& data, KanaRow row)
{
    EnterDir(data);
    CAddressTable table;
    AddressRecord record{};
    long delivered = 0;
    const long long before = alloc_count::Total();
    for (auto _ : state) {
        delivered = 0;
        for (int more = table.GetFirst(record, row); more; more = table.GetNext(record, row))
            ++delivered;
        benchmark::DoNotOptimize(record);
    }
    Report(state, data, alloc_count::Total() - before, delivered);
}

// As the form does it: reads from the top until the name matches, and
// leaves the scan where it stopped.
long FindName(CAddressTable& table, const char* name)
{
    AddressRecord record{};
    long read = 0;
    for (int more = table.GetFirst(record, KANAROW_ALL); more; more = table.GetNext(record, KANAROW_ALL)) {
        ++read;
        if (std::strncmp(record.name, name, sizeof record.name) == 0)
            return read;
    }
    return -read;
}

void Lookup(benchmark::State& state, const DataFile& data, const std::string& name)
{
    EnterDir(data);
    CAddressTable table;
    long read = 0;
    const long long before = alloc_count::Total();
    for (auto _ : state)
        benchmark::DoNotOptimize(read = FindName(table, name.c_str()));
    Report(state, data, alloc_count::Total() - before, read);
}

const char* const kReadings[] = {
    "\x82\xA0\x82\xA8\x82\xAB",  // あおき
    "\x82\xAA\x82\xC6\x82\xA4",  // がとう
    "\x82\xCF\x82\xC2",          // ぱつ
    "\x82\xF1",                  // ん
    "\x83\x4A\x83\x67\x83\x45",  // カトウ
    "Lee",
    "",
    "\x82\x9F\x82\xA2",  // ぁい
};

void Classify(benchmark::State& state)
{
    int sum = 0;
    for (auto _ : state) {
        for (const char* reading : kReadings)
            sum += CAddressTable::ClassifyReading(reading);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * std::size(kReadings));
}

std::string TakeFlag(int& argc, char** argv, const std::string& name)
{
    const std::string prefix = "--" + name + "=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) != 0)
            continue;
        std::string value = argv[i] + prefix.size();
        std::copy(argv + i + 1, argv + argc, argv + i);
        --argc;
        return value;
    }
    return {};
}

void RegisterFor(const DataFile& data, long persons)
{
    const std::string size = std::to_string(persons);
    benchmark::RegisterBenchmark(("FullScan/" + size).c_str(), [data](benchmark::State& s) {
        FullScan(s, data, KANAROW_ALL);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("RowScan/" + size).c_str(), [data](benchmark::State& s) {
        FullScan(s, data, 1);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("LookupLast/" + size).c_str(), [data](benchmark::State& s) {
        Lookup(s, data, data.lastName);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("DuplicateCheck/" + size).c_str(), [data](benchmark::State& s) {
        Lookup(s, data, data.absentName);
    })->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path dataDir = std::filesystem::absolute(TakeFlag(argc, argv, "data"));
    std::stringstream sizes(TakeFlag(argc, argv, "persons"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RegisterBenchmark("ClassifyReading", Classify);
    for (std::string size; std::getline(sizes, size, ',');) {
        const DataFile data = Survey(dataDir / size);
        if (data.persons != std::stol(size)) {
            std::cerr << data.dir << ": " << data.persons << " persons read, " << size << " expected\n";
            return 1;
        }
        RegisterFor(data, data.persons);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
