// The postal code dictionary on Debian's data: the first look-up each way
// from a fresh dictionary (the files read and, for addresses, the index
// built), best of five, then the 99th percentile of single look-ups, codes
// and addresses as a user types them. Prints key=value pairs; fails when a
// known code or address is not found.
#include "AddressKey.h"
#include "Dictionary.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int LOAD_RUNS = 5;
constexpr int SAMPLES = 20000;

double CpuNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double WallNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Seconds {
    double wall = 1e9;
    double cpu = 1e9;
};

template <typename Job>
Seconds FirstLookUp(Job job)
{
    Seconds best;
    for (int run = 0; run < LOAD_RUNS; ++run) {
        const double wall = WallNow(), cpu = CpuNow();
        {
            const postal::Dictionary dictionary;
            if (!job(dictionary))
                std::exit(1);
        }
        best.wall = std::min(best.wall, WallNow() - wall);
        best.cpu = std::min(best.cpu, CpuNow() - cpu);
    }
    return best;
}

template <typename Job>
double P99(const std::vector<std::string>& inputs, Job job)
{
    std::vector<double> times;
    times.reserve(inputs.size());
    for (const std::string& input : inputs) {
        const double start = WallNow();
        job(input);
        times.push_back(WallNow() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() * 99 / 100];
}

}  // namespace

int main()
{
    const Seconds forward = FirstLookUp([](const postal::Dictionary& d) { return !d.Addresses("1000005").empty(); });
    const Seconds reverse =
        FirstLookUp([](const postal::Dictionary& d) { return !d.Codes("千代田区丸の内1-1").empty(); });

    const postal::Dictionary dictionary;
    std::mt19937 random(18);
    std::vector<std::string> codes, addresses;
    for (unsigned number = 0; number < 10000000; number += 13) {
        char code[16];
        std::snprintf(code, sizeof code, "%03u-%04u", number / 10000, number % 10000);
        if (codes.size() < SAMPLES && random() % 32 == 0)
            codes.emplace_back(code);
        // Real addresses as typed: block numbers after the town, every
        // other one without its prefecture.
        for (const std::string& address : dictionary.Addresses(code)) {
            const int prefecture = postal::PrefectureAt(address);
            const std::size_t cut = addresses.size() % 2 == 0 || prefecture == postal::NO_PREFECTURE
                                        ? 0
                                        : postal::PREFECTURES[static_cast<std::size_t>(prefecture)].size();
            addresses.push_back(address.substr(cut) + "１２番地３－４");
        }
    }
    std::size_t found = 0;
    const double codeP99 = P99(codes, [&](const std::string& code) { found += dictionary.Addresses(code).size(); });
    const double addressP99 =
        P99(addresses, [&](const std::string& address) { found += dictionary.Codes(address).size(); });
    if (found == 0 || addresses.empty())
        return 1;
    std::printf(
        "forward_s=%.6f forward_cpu_s=%.6f reverse_s=%.6f reverse_cpu_s=%.6f code_p99_s=%.7f address_p99_s=%.7f "
        "codes=%zu addresses=%zu\n",
        forward.wall, forward.cpu, reverse.wall, reverse.cpu, codeP99, addressP99, codes.size(), addresses.size());
    return 0;
}
