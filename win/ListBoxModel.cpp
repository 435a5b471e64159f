#include "ListBoxModel.h"

#include "ShiftJis.h"
#include "SjisText.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QSize>

#include <algorithm>
#include <vector>

namespace {

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
        if (sjis::IsLeadByte(wanted) && i + 1 < prefix.size()) {
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

// Eight bytes of a key from offset on as a number that orders as they do.
std::uint64_t KeyHead(std::string_view key, size_t offset = 0) noexcept
{
    std::uint64_t head = 0;
    for (size_t i = offset; i < offset + sizeof head; ++i)
        head = (head << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return head;
}

}  // namespace

ListBoxModel::ListBoxModel(int rowHeight, QListView& view)
    : QAbstractListModel(&view), m_view(view), m_rowHeight(rowHeight)
{
    view.setModel(this);
    connect(view.selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { FollowViewSelection(); });
}

void ListBoxModel::Add(std::string_view bytes, std::string_view sortKey, int group)
{
    const std::size_t keyOffset = m_keys.size();
    m_order.AppendKey(m_keys, group, sortKey, bytes);
    const std::string_view key = std::string_view(m_keys).substr(keyOffset);
    const std::size_t bytesOffset = m_bytes.size();
    m_bytes.append(bytes);
    m_items.push_back(
        Item{KeyHead(key), KeyHead(key, 8), keyOffset, key.size(), bytesOffset, bytes.size(), m_nextSerial++});
    MarkViewStale();
}

bool ListBoxModel::Remove(int row)
{
    Settle();
    if (row < 0 || static_cast<size_t>(row) >= Rows())
        return false;
    m_items.erase(m_items.begin() + row);
    --m_sortedCount;
    // The key and byte buffers only grow while the list has items.
    if (m_items.empty()) {
        m_keys.clear();
        m_bytes.clear();
    }
    if (row == m_selectedRow)
        m_selectedRow = -1;
    else if (row < m_selectedRow)
        --m_selectedRow;
    MarkViewStale();
    return true;
}

int ListBoxModel::Count()
{
    Settle();
    return static_cast<int>(Rows());
}

std::optional<std::string_view> ListBoxModel::Bytes(int row)
{
    Settle();
    if (row < 0 || static_cast<size_t>(row) >= Rows())
        return std::nullopt;
    return BytesOf(At(static_cast<size_t>(row)));
}

std::string_view ListBoxModel::BytesOf(const Item& item) const noexcept
{
    return std::string_view(m_bytes).substr(item.bytesOffset, item.bytesLength);
}

int ListBoxModel::FindPrefix(std::string_view prefix)
{
    Settle();
    for (size_t row = 0; row < Rows(); ++row) {
        if (StartsWithIgnoringAsciiCase(BytesOf(At(row)), prefix))
            return static_cast<int>(row);
    }
    return -1;
}

int ListBoxModel::FindExact(std::string_view bytes)
{
    Settle();
    for (size_t row = 0; row < Rows(); ++row) {
        if (BytesOf(At(row)) == bytes)
            return static_cast<int>(row);
    }
    return -1;
}

int ListBoxModel::Selected()
{
    Settle();
    return m_selectedRow;
}

void ListBoxModel::Select(int row)
{
    Settle();
    const bool exists = row >= 0 && static_cast<size_t>(row) < Rows();
    m_selectedRow = exists ? row : -1;
    if (exists)
        m_selectedSerial = At(static_cast<size_t>(row)).serial;
    if (!m_viewStale)
        ShowSelection();
}

void ListBoxModel::Publish()
{
    m_publishScheduled = false;
    if (!m_viewStale)
        return;
    Settle();
    m_updatingView = true;
    beginResetModel();
    m_viewStale = false;
    endResetModel();
    m_updatingView = false;
    ShowSelection();
}

void ListBoxModel::Settle()
{
    if (m_sortedCount == Rows())
        return;
    const auto first = m_items.begin();
    const auto sortedEnd = first + static_cast<std::ptrdiff_t>(m_sortedCount);
    // The serial makes the order total, so equal keys keep the order they
    // came in; the added items are newer than the sorted ones, which keeps
    // the merge stable as well.
    const auto before = [this](const Item& left, const Item& right) { return Before(left, right); };
    std::sort(sortedEnd, m_items.end(), before);
    std::inplace_merge(first, sortedEnd, m_items.end(), before);
    m_sortedCount = Rows();
    if (m_selectedRow < 0)
        return;
    const auto selected =
        std::find_if(first, m_items.end(), [this](const Item& item) { return item.serial == m_selectedSerial; });
    m_selectedRow = static_cast<int>(selected - first);
}

bool ListBoxModel::Before(const Item& left, const Item& right) const noexcept
{
    // Most comparisons are settled by the first bytes, kept in the item.
    if (left.head != right.head)
        return left.head < right.head;
    if (left.head2 != right.head2)
        return left.head2 < right.head2;
    const std::string_view keys(m_keys);
    const int order =
        keys.substr(left.keyOffset, left.keyLength).compare(keys.substr(right.keyOffset, right.keyLength));
    if (order != 0)
        return order < 0;
    return left.serial < right.serial;
}

void ListBoxModel::MarkViewStale()
{
    m_viewStale = true;
    if (m_publishScheduled)
        return;
    m_publishScheduled = true;
    // Views may not be told of changes from inside their painting; until
    // then they show the rows they knew, at worst for one frame.
    QMetaObject::invokeMethod(
        this, [this] { Publish(); }, Qt::QueuedConnection);
}

void ListBoxModel::ShowSelection()
{
    QItemSelectionModel* selection = m_view.selectionModel();
    m_updatingView = true;
    if (m_selectedRow < 0) {
        selection->clearSelection();
    } else {
        const QModelIndex item = index(m_selectedRow, 0);
        selection->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
        m_view.scrollTo(item);
    }
    m_updatingView = false;
}

void ListBoxModel::FollowViewSelection()
{
    // Rows the view knows are the items' rows only while it is up to date.
    if (m_updatingView || m_viewStale)
        return;
    const QModelIndexList rows = m_view.selectionModel()->selectedRows();
    m_selectedRow = rows.isEmpty() ? -1 : rows.first().row();
    if (m_selectedRow >= 0)
        m_selectedSerial = At(static_cast<size_t>(m_selectedRow)).serial;
}

int ListBoxModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(Rows());
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || static_cast<size_t>(index.row()) >= Rows())
        return {};
    if (role == Qt::DisplayRole)
        return sjis::ToQString(BytesOf(At(static_cast<size_t>(index.row()))));
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
