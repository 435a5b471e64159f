#pragma once

#include "DictionaryFiles.h"
#include "Table.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace postal {

// Postal codes and the addresses they stand for, both ways. The files are
// read at the first look-up, not before: most sessions never need them.
class Dictionary {
public:
    explicit Dictionary(Sources sources = DefaultSources());
    ~Dictionary();
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;

    // Every address the code stands for (1000005, 100-0005, full width),
    // a business code's included; none for a code not in the data.
    [[nodiscard]] std::vector<std::string> Addresses(std::string_view code) const;

    // The codes (seven digits) of the longest town the address begins
    // with, its prefecture allowed to be missing. None when the address
    // names no town the data knows: a whole city or a business is never
    // an answer.
    [[nodiscard]] std::vector<std::string> Codes(std::string_view address) const;

    // Whether there is no data at all (nothing installed, nothing imported).
    [[nodiscard]] bool IsEmpty() const;

    // Reads the files and builds the index now, if not done yet.
    void Load() const;

private:
    struct Data;
    const Data& Loaded() const;
    const Data& Indexed() const;
    const Table& Businesses() const;

    Sources m_sources;
    mutable std::unique_ptr<Data> m_data;
};

}  // namespace postal
