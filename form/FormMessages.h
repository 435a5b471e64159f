#pragma once

#include "AddressTable.h"

#include <QString>

// The form's own fixed messages. The messages of the input checks live in
// the string table with the other resources.
namespace msg {

inline const QString kCannotOpenFile = QStringLiteral("データファイルが開けません");
inline const QString kRequiredMissing = QStringLiteral("必須項目が抜けています");
inline const QString kChangeUnsupported = QStringLiteral("テーブル変更はまだサポートしていません m(__)m");
inline const QString kRegisterFailed = QStringLiteral("レコード登録に失敗しました");
inline const QString kDeleteUnsupported = QStringLiteral("テーブル削除はまだサポートしていません m(__)m");

// A scan stopped at a malformed line: names the file, the line and what is
// wrong with it.
[[nodiscard]] QString MalformedLine(const ScanStatus& status);
// The double-clicked name is not (or no longer) in the data file.
[[nodiscard]] QString NameNotInFile(const QString& name);
// A field holds a character that cannot be stored in the data file.
[[nodiscard]] QString NotStorable(const QString& label);
// A field is longer than the data file can hold.
[[nodiscard]] QString TooLongForFile(const QString& label, int maxBytes);

}  // namespace msg
