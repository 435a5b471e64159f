#include "Dictionary.h"

#include "AddressKey.h"
#include "SkkFile.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>

namespace postal {

namespace {

constexpr std::array<std::string_view, 2> VILLAGE_PREFIXES{"大字", "字"};
constexpr std::uint32_t NONE = 0;

// Addresses by their match key, prefecture left off: an open-addressing
// table of record numbers (plus one), records of one key chained.
class KeyIndex {
public:
    void Build(std::vector<std::string_view> keys)
    {
        m_keys = std::move(keys);
        std::size_t size = 1;
        while (size < m_keys.size() * 2)
            size *= 2;
        m_slots.assign(size, NONE);
        m_next.assign(m_keys.size(), NONE);
        std::vector<std::uint32_t> last(m_keys.size(), NONE);  // chain ends, by first record
        for (std::uint32_t i = 0; i < m_keys.size(); ++i) {
            std::uint32_t& slot = Slot(m_keys[i]);
            if (slot == NONE) {
                slot = i + 1;
                last[i] = i + 1;
            } else {
                m_next[last[slot - 1] - 1] = i + 1;
                last[slot - 1] = i + 1;
            }
        }
    }
    // The first record with the key, plus one; NONE when there is none.
    [[nodiscard]] std::uint32_t First(std::string_view key) const
    {
        return m_slots.empty() ? NONE : const_cast<KeyIndex*>(this)->Slot(key);
    }
    [[nodiscard]] std::uint32_t Next(std::uint32_t hit) const { return m_next[hit - 1]; }

private:
    std::uint32_t& Slot(std::string_view key)
    {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = std::hash<std::string_view>{}(key)&mask;; at = (at + 1) & mask) {
            if (m_slots[at] == NONE || m_keys[m_slots[at] - 1] == key)
                return m_slots[at];
        }
    }

    std::vector<std::string_view> m_keys;
    std::vector<std::uint32_t> m_slots;
    std::vector<std::uint32_t> m_next;
};

// The imported file where there is one, else Debian's.
Table LoadTable(const std::filesystem::path& imported, const std::filesystem::path& skk, bool businesses)
{
    std::optional<Table> table;
    if (!imported.empty())
        table = ReadImportedFile(imported);
    if (!table)
        table = ReadSkkFile(skk, businesses);
    return table ? std::move(*table) : Table{};
}

std::size_t NextBoundary(std::string_view text, std::size_t at) noexcept
{
    do {
        ++at;
    } while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80);
    return at;
}

void AppendAddresses(std::vector<std::string>& addresses, const Table& table, std::uint32_t code)
{
    const auto [first, last] = std::equal_range(table.records.begin(), table.records.end(), Record{code, 0, 0, {}},
                                                [](const Record& a, const Record& b) { return a.code < b.code; });
    for (auto record = first; record != last; ++record) {
        const std::string_view address = table.Address(*record);
        if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
            addresses.emplace_back(address);
    }
}

bool InPrefecture(int prefecture, int wanted) noexcept
{
    return wanted == NO_PREFECTURE || prefecture == wanted;
}

std::size_t PrefectureLength(int prefecture) noexcept
{
    return prefecture == NO_PREFECTURE ? 0 : PREFECTURES[static_cast<std::size_t>(prefecture)].size();
}

}  // namespace

// Each part is read at its first use: a code's addresses need no index,
// an address's codes no businesses.
struct Dictionary::Data {
    Table general;  // towns and cities
    std::optional<Table> businesses;
    bool indexed = false;
    std::vector<signed char> prefectures;  // of each general record
    std::deque<std::string> foldedKeys;    // the keys that differ from their address
    KeyIndex index;

    void BuildIndex();
    [[nodiscard]] bool HasCity(std::string_view key, int prefecture) const;
    [[nodiscard]] std::vector<std::string> TownCodes(std::string_view key, int prefecture) const;
};

void Dictionary::Data::BuildIndex()
{
    std::vector<std::string_view> keys;
    keys.reserve(general.records.size());
    prefectures.reserve(general.records.size());
    int previous = 0;
    for (const Record& record : general.records) {
        std::string_view key = general.Address(record);
        if (!IsMatchKey(key))
            key = foldedKeys.emplace_back(MatchKey(key));
        // Records come by code, and so mostly by prefecture.
        const int prefecture =
            key.starts_with(PREFECTURES[static_cast<std::size_t>(previous)]) ? previous : PrefectureAt(key);
        key.remove_prefix(PrefectureLength(prefecture));
        keys.push_back(key);
        prefectures.push_back(static_cast<signed char>(prefecture));
        if (prefecture != NO_PREFECTURE)
            previous = prefecture;
    }
    index.Build(std::move(keys));
}

bool Dictionary::Data::HasCity(std::string_view key, int prefecture) const
{
    for (std::uint32_t hit = index.First(key); hit != NONE; hit = index.Next(hit)) {
        if (general.records[hit - 1].level == Level::City && InPrefecture(prefectures[hit - 1], prefecture))
            return true;
    }
    return false;
}

// The town codes of one key; none where the same address is also a whole
// city's (Japan Post's …の次に番地がくる場合 codes).
std::vector<std::string> Dictionary::Data::TownCodes(std::string_view key, int prefecture) const
{
    std::vector<int> cities;
    for (std::uint32_t hit = index.First(key); hit != NONE; hit = index.Next(hit)) {
        if (general.records[hit - 1].level == Level::City && InPrefecture(prefectures[hit - 1], prefecture))
            cities.push_back(prefectures[hit - 1]);
    }
    std::vector<std::string> codes;
    for (std::uint32_t hit = index.First(key); hit != NONE; hit = index.Next(hit)) {
        const Record& record = general.records[hit - 1];
        const int where = prefectures[hit - 1];
        if (record.level == Level::Town && InPrefecture(where, prefecture)
            && std::find(cities.begin(), cities.end(), where) == cities.end())
            codes.push_back(CodeText(record.code));
    }
    return codes;
}

Dictionary::Dictionary(Sources sources) : m_sources(std::move(sources)) {}

Dictionary::~Dictionary() = default;

void Dictionary::Load() const
{
    static_cast<void>(Businesses());
    static_cast<void>(Indexed());
}

const Dictionary::Data& Dictionary::Loaded() const
{
    if (m_data)
        return *m_data;
    auto data = std::make_unique<Data>();
    const auto& dir = m_sources.dataDir;
    data->general = LoadTable(dir.empty() ? dir : dir / IMPORTED_GENERAL, m_sources.skkGeneral, false);
    m_data = std::move(data);
    return *m_data;
}

const Table& Dictionary::Businesses() const
{
    Data& data = const_cast<Data&>(Loaded());
    const auto& dir = m_sources.dataDir;
    if (!data.businesses)
        data.businesses = LoadTable(dir.empty() ? dir : dir / IMPORTED_OFFICE, m_sources.skkOffice, true);
    return *data.businesses;
}

const Dictionary::Data& Dictionary::Indexed() const
{
    Data& data = const_cast<Data&>(Loaded());
    if (!data.indexed) {
        data.BuildIndex();
        data.indexed = true;
    }
    return data;
}

bool Dictionary::IsEmpty() const
{
    return Loaded().general.records.empty() && Businesses().records.empty();
}

std::vector<std::string> Dictionary::Addresses(std::string_view code) const
{
    const std::optional<std::string> digits = ParseCode(code);
    if (!digits)
        return {};
    std::vector<std::string> addresses;
    AppendAddresses(addresses, Loaded().general, CodeNumber(*digits));
    // Japan Post gives a business a code of its own, never a town's: the
    // businesses are read only for a code no town has.
    if (addresses.empty())
        AppendAddresses(addresses, Businesses(), CodeNumber(*digits));
    return addresses;
}

std::vector<std::string> Dictionary::Codes(std::string_view address) const
{
    const Data& data = Indexed();
    std::string key = MatchKey(address);
    const int prefecture = PrefectureAt(key);
    key.erase(0, PrefectureLength(prefecture));

    std::size_t bestLength = 0;
    std::vector<std::string> best;
    // The longest town the text begins with; bytes skipped at cut count
    // as covered.
    const auto longestTown = [&](std::string_view text, std::size_t cut, std::size_t skipped) {
        for (std::size_t end = NextBoundary(text, 0); end <= text.size(); end = NextBoundary(text, end)) {
            const std::size_t covered = end > cut ? end + skipped : end;
            if (covered <= bestLength)
                continue;
            std::vector<std::string> codes = data.TownCodes(text.substr(0, end), prefecture);
            if (!codes.empty()) {
                bestLength = covered;
                best = std::move(codes);
            }
        }
    };
    longestTown(key, 0, 0);
    // 大字 or 字 after a city: the data names the town without it.
    for (std::size_t end = NextBoundary(key, 0); end < key.size(); end = NextBoundary(key, end)) {
        if (!data.HasCity(std::string_view(key).substr(0, end), prefecture))
            continue;
        for (const std::string_view prefix : VILLAGE_PREFIXES) {
            if (std::string_view(key).substr(end).starts_with(prefix))
                longestTown(key.substr(0, end) + key.substr(end + prefix.size()), end, prefix.size());
        }
    }
    std::sort(best.begin(), best.end());
    best.erase(std::unique(best.begin(), best.end()), best.end());
    return best;
}

}  // namespace postal
