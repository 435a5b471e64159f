#include "FormMessages.h"

#include "Words.h"

namespace msg {

// The same words as the vCard summary's, from one place.
QString MalformedLine(const ScanStatus& status)
{
    return QString::fromStdString(vcard::words::MalformedLine(status));
}

std::optional<QString> ScanProblem(const ScanStatus& status, bool appending)
{
    if (status.end == ScanEnd::OpenFailed)
        return CANNOT_OPEN_FILE;
    // A line appended behind a malformed line could never be read again.
    if (status.end == ScanEnd::MalformedLine && (status.dataHidden || appending))
        return MalformedLine(status);
    return std::nullopt;
}

QString NameNotInFile(const QString& name)
{
    return QStringLiteral("「%1」は %2 に見つかりません。ファイルが書き換えられた可能性があります")
        .arg(name, QString::fromLatin1(ADDRESS_TABLE_FILE));
}

QString NotStorable(const QString& label)
{
    return QStringLiteral("「%1」にデータファイルへ保存できない文字が含まれています").arg(label);
}

QString TooLongForFile(const QString& label, int maxBytes)
{
    return QStringLiteral("「%1」が長すぎます。%2 バイト以内で入力してください").arg(label).arg(maxBytes);
}

}  // namespace msg
