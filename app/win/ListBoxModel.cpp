#include "ListBoxModel.h"

#include "SjisCodec.h"

#include <QLocale>
#include <QSize>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

bool IsLeadByte(unsigned char byte) noexcept
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

unsigned char FoldAscii(unsigned char byte) noexcept
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// Walks the prefix a character at a time so that only single-byte ASCII
// letters are folded, never the trail byte of a double-byte character.
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) noexcept
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const auto wanted = static_cast<unsigned char>(prefix[i]);
        const auto found = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(wanted) && i + 1 < prefix.size()) {
            if (found != wanted || text[i + 1] != prefix[i + 1])
                return false;
            ++i;
            continue;
        }
        if (FoldAscii(found) != FoldAscii(wanted))
            return false;
    }
    return true;
}

}  // namespace

ListBoxModel::ListBoxModel(int rowHeight, QObject* parent)
    : QAbstractListModel(parent),
      m_collator(QLocale(QLocale::Japanese, QLocale::Japan)),
      m_emptyKey(m_collator.sortKey(QString())),
      m_rowHeight(rowHeight)
{
}

void ListBoxModel::Add(std::string_view bytes, std::string_view sortKey)
{
    QString display = sjis::ToQString(bytes);
    QCollatorSortKey textKey = m_collator.sortKey(display);
    QCollatorSortKey key = sortKey.empty() ? m_emptyKey : m_collator.sortKey(sjis::ToQString(sortKey));
    const int row = static_cast<int>(m_items.size());
    beginInsertRows(QModelIndex(), row, row);
    m_items.push_back(Item{std::string(bytes), std::move(display), std::move(key), std::move(textKey), m_nextSerial++});
    endInsertRows();
    ScheduleSettle();
}

bool ListBoxModel::Remove(int row)
{
    Settle();
    if (row < 0 || static_cast<size_t>(row) >= m_items.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_items.erase(m_items.begin() + row);
    --m_sortedCount;
    endRemoveRows();
    return true;
}

int ListBoxModel::Count()
{
    Settle();
    return static_cast<int>(m_items.size());
}

const std::string* ListBoxModel::Bytes(int row)
{
    Settle();
    if (row < 0 || static_cast<size_t>(row) >= m_items.size())
        return nullptr;
    return &m_items[static_cast<size_t>(row)].bytes;
}

int ListBoxModel::FindPrefix(std::string_view prefix)
{
    Settle();
    for (size_t row = 0; row < m_items.size(); ++row) {
        if (StartsWithIgnoringAsciiCase(m_items[row].bytes, prefix))
            return static_cast<int>(row);
    }
    return -1;
}

bool ListBoxModel::Before(const Item& left, const Item& right)
{
    if (const int order = left.sortKey.compare(right.sortKey); order != 0)
        return order < 0;
    return left.textKey.compare(right.textKey) < 0;
}

void ListBoxModel::Settle()
{
    if (m_sortedCount == m_items.size())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Views keep persistent indexes (current item, selection); they must
    // follow their items to the new rows.
    const QModelIndexList persistent = persistentIndexList();
    std::vector<std::uint64_t> serials;
    std::unordered_map<std::uint64_t, int> newRowOf;
    for (const QModelIndex& index : persistent) {
        serials.push_back(m_items[static_cast<size_t>(index.row())].serial);
        newRowOf.emplace(serials.back(), -1);
    }

    const auto sortedEnd = m_items.begin() + static_cast<std::ptrdiff_t>(m_sortedCount);
    // Both steps are stable, so equal items stay in the order they came.
    std::stable_sort(sortedEnd, m_items.end(), Before);
    std::inplace_merge(m_items.begin(), sortedEnd, m_items.end(), Before);
    m_sortedCount = m_items.size();

    if (!persistent.isEmpty()) {
        for (size_t row = 0; row < m_items.size(); ++row) {
            if (auto found = newRowOf.find(m_items[row].serial); found != newRowOf.end())
                found->second = static_cast<int>(row);
        }
        QModelIndexList moved;
        for (const std::uint64_t serial : serials)
            moved.append(index(newRowOf.at(serial), 0));
        changePersistentIndexList(persistent, moved);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListBoxModel::ScheduleSettle()
{
    if (m_settleScheduled)
        return;
    m_settleScheduled = true;
    // The views see the new items in the order they came until then; a
    // layout change must not be sent from inside their painting.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_settleScheduled = false;
            Settle();
        },
        Qt::QueuedConnection);
}

int ListBoxModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || static_cast<size_t>(index.row()) >= m_items.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_items[static_cast<size_t>(index.row())].display;
    if (role == Qt::SizeHintRole)
        return QSize(1, m_rowHeight);
    return {};
}

Qt::ItemFlags ListBoxModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
