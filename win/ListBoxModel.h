#pragma once

#include "ListOrder.h"

#include <QAbstractListModel>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QListView;

// The items and the selection of a sorted list box: Shift_JIS bytes and
// their Japanese collation key; the display text is decoded only for the
// rows the view asks for. A million names must load in a few seconds, so
// nothing here is quadratic: items are appended unsorted and sorted once
// when the list is next read, and the view is told about a whole batch of
// changes at once (a model reset, queued to the event loop) rather than
// about each item. Keys and bytes live in two growing buffers, so an item
// costs no allocation of its own and sorts as a small plain value.
class ListBoxModel final : public QAbstractListModel {
public:
    // Becomes the view's model and follows the selection the user makes.
    ListBoxModel(int rowHeight, QListView& view);

    void Add(std::string_view bytes, std::string_view sortKey, int group);
    // False when there is no such row.
    bool Remove(int row);
    [[nodiscard]] int Count();
    [[nodiscard]] std::optional<std::string_view> Bytes(int row);
    // The first row, from the top, whose bytes begin with the prefix
    // (ASCII letters in any case); -1 when none does.
    [[nodiscard]] int FindPrefix(std::string_view prefix);
    // The first row whose bytes are exactly these; -1 when none is.
    [[nodiscard]] int FindExact(std::string_view bytes);
    [[nodiscard]] int Selected();  // -1 for none
    void Select(int row);          // -1 or a row out of range clears
    // Brings the view up to date with the items and the selection.
    void Publish();

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Item {
        // The key's first sixteen bytes as two numbers that order as they
        // do: most comparisons end here, without touching m_keys.
        std::uint64_t head;
        std::uint64_t head2;
        // In m_keys: the collation key of the sort key, a zero byte, the
        // collation key of the text; one byte comparison orders by both.
        std::size_t keyOffset;
        std::size_t keyLength;
        std::size_t bytesOffset;  // in m_bytes
        std::size_t bytesLength;
        std::uint64_t serial;  // insertion order, the last tie-breaker
    };
    [[nodiscard]] bool Before(const Item& left, const Item& right) const noexcept;
    [[nodiscard]] std::string_view BytesOf(const Item& item) const noexcept;
    [[nodiscard]] std::size_t Rows() const noexcept { return m_items.size(); }
    [[nodiscard]] Item& At(std::size_t row) noexcept { return m_items[row]; }
    [[nodiscard]] const Item& At(std::size_t row) const noexcept { return m_items[row]; }
    void Settle();
    void MarkViewStale();
    void ShowSelection();
    void FollowViewSelection();

    QListView& m_view;
    ListOrder m_order;
    // Deleting the first row, as emptying the list does, costs nothing in a
    // deque. Sorted for m_sortedCount rows, then as added.
    std::deque<Item> m_items;
    std::size_t m_sortedCount = 0;
    std::string m_keys;
    std::string m_bytes;
    std::uint64_t m_nextSerial = 0;
    int m_selectedRow = -1;
    std::uint64_t m_selectedSerial = 0;
    bool m_viewStale = false;
    bool m_publishScheduled = false;
    bool m_updatingView = false;
    int m_rowHeight;
};
