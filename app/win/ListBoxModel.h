#pragma once

#include <QAbstractListModel>
#include <QCollator>
#include <QCollatorSortKey>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

// The items of a sorted list box: Shift_JIS bytes, their display text and
// collation keys. Items are appended unsorted and sorted once, the first time
// anything reads the list, so that filling it stays O(n log n).
class ListBoxModel final : public QAbstractListModel {
public:
    ListBoxModel(int rowHeight, QObject* parent);

    void Add(std::string_view bytes, std::string_view sortKey);
    // False when there is no such row.
    bool Remove(int row);
    [[nodiscard]] int Count();
    [[nodiscard]] const std::string* Bytes(int row);
    // The first row, from the top, whose bytes begin with the prefix
    // (ASCII letters in any case); -1 when none does.
    [[nodiscard]] int FindPrefix(std::string_view prefix);
    // Sorts what was added since the last read and tells the views.
    void Settle();

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Item {
        std::string bytes;
        QString display;
        QCollatorSortKey sortKey;
        QCollatorSortKey textKey;
        std::uint64_t serial;  // insertion order, the last tie-breaker
    };
    static bool Before(const Item& left, const Item& right);
    void ScheduleSettle();

    QCollator m_collator;
    QCollatorSortKey m_emptyKey;
    std::deque<Item> m_items;  // sorted up to m_sortedCount, then as added
    size_t m_sortedCount = 0;
    std::uint64_t m_nextSerial = 0;
    bool m_settleScheduled = false;
    int m_rowHeight;
};
