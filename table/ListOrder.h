#pragma once

#include <memory>
#include <string>
#include <string_view>

struct UCollator;

// The order of the name list, shared by the window and the commands that
// print people in the order the list shows them: the group (the kana-row
// code), then the reading in Japanese collation, then the name. Keys are
// plain bytes, so that a million of them sort in well under a second.
class ListOrder {
public:
    ListOrder();
    ~ListOrder() noexcept;
    ListOrder(const ListOrder&) = delete;
    ListOrder& operator=(const ListOrder&) = delete;

    // Appends to key the bytes that order one person (Shift_JIS reading
    // and name) as the list does; keys compare with a byte comparison.
    void AppendKey(std::string& key, int group, std::string_view sjisReading, std::string_view sjisName) const;
    [[nodiscard]] std::string Key(int group, std::string_view sjisReading, std::string_view sjisName) const;

private:
    struct CloseCollator {
        void operator()(UCollator* collator) const noexcept;
    };
    void AppendCollationKey(std::string& key, std::string_view sjisText) const;

    std::unique_ptr<UCollator, CloseCollator> m_collator;
};
