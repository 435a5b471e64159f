#pragma once

#include <QAbstractListModel>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

class QListView;
struct UCollator;

// The items and the selection of a sorted list box: Shift_JIS bytes, their
// display text and Japanese collation key. A million names must load in a few
// seconds, so nothing here is quadratic: items are appended unsorted and
// sorted once when the list is next read, and the view is told about a
// whole batch of changes at once (a model reset, queued to the event loop)
// rather than about each item.
class ListBoxModel final : public QAbstractListModel {
public:
    // Becomes the view's model and follows the selection the user makes.
    ListBoxModel(int rowHeight, QListView& view);

    void Add(std::string_view bytes, std::string_view sortKey);
    // False when there is no such row.
    bool Remove(int row);
    [[nodiscard]] int Count();
    [[nodiscard]] const std::string* Bytes(int row);
    // The first row, from the top, whose bytes begin with the prefix
    // (ASCII letters in any case); -1 when none does.
    [[nodiscard]] int FindPrefix(std::string_view prefix);
    [[nodiscard]] int Selected();  // -1 for none
    void Select(int row);          // -1 or a row out of range clears
    // Brings the view up to date with the items and the selection.
    void Publish();

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Item {
        std::uint64_t head;  // the key's first eight bytes, as a number
        // The collation key of the sort key, a zero byte, the collation key
        // of the text: one byte comparison orders by both.
        std::string key;
        std::string bytes;
        QString display;
        std::uint64_t serial;  // insertion order, the last tie-breaker
    };
    static bool Before(const Item& left, const Item& right) noexcept;
    struct CloseCollator {
        void operator()(UCollator* collator) const noexcept;
    };
    void AppendCollationKey(const QString& text, std::string& key) const;
    void Settle();
    void MarkViewStale();
    void ShowSelection();
    void FollowViewSelection();

    QListView& m_view;
    std::unique_ptr<UCollator, CloseCollator> m_collator;
    std::deque<Item> m_items;  // sorted up to m_sortedCount, then as added
    size_t m_sortedCount = 0;
    std::uint64_t m_nextSerial = 0;
    int m_selectedRow = -1;
    std::uint64_t m_selectedSerial = 0;
    bool m_viewStale = false;
    bool m_publishScheduled = false;
    bool m_updatingView = false;
    int m_rowHeight;
};
