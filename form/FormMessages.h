#pragma once

#include "AddressTable.h"

#include <QString>

#include <optional>

// The form's own words: its fixed messages, its window-menu items and file
// dialogs, and the names of the fields that are not columns of the file.
// The messages of the input checks live in the string table with the
// other resources; the columns' names in the record schema.
namespace msg {

inline const QString CANNOT_OPEN_FILE = QStringLiteral("データファイルが開けません");
inline const QString REQUIRED_MISSING = QStringLiteral("必須項目が抜けています");
inline const QString CHANGE_UNSUPPORTED = QStringLiteral("テーブル変更はまだサポートしていません m(__)m");
inline const QString REGISTER_FAILED = QStringLiteral("レコード登録に失敗しました");
inline const QString REGISTER_LEFT_UNFINISHED_LINE =
    QStringLiteral("レコード登録に失敗しました。AddressTable.csv の最後に書きかけの行が残っています");
inline const QString DELETE_UNSUPPORTED = QStringLiteral("テーブル削除はまだサポートしていません m(__)m");
inline const QString FILE_IN_UTF8 =
    QStringLiteral("AddressTable.csv は UTF-8 で保存されているようです。Shift_JIS (CP932) で保存し直してください");

inline const QString VCARD_EXPORT = QStringLiteral("vCard ファイルへ書き出す");
inline const QString VCARD_IMPORT = QStringLiteral("vCard ファイルから取り込む");
inline const QString VCARD_EXPORT_ITEM = VCARD_EXPORT + QStringLiteral("…");
inline const QString VCARD_IMPORT_ITEM = VCARD_IMPORT + QStringLiteral("…");
inline const QString HAGAKI_PRINT_ITEM = QStringLiteral("はがきの宛名を印刷…");
inline const QString VCARD_FILTER = QStringLiteral("vCard (*.vcf *.vcard);;すべてのファイル (*)");

// Fields of the form that are not columns of the file, as messages name them.
inline constexpr const char* NAME_LIST_LABEL = "名前の一覧";
inline constexpr const char* PHONE_KIND_LABEL = "電話番号の種類";
inline constexpr const char* AGE_LABEL = "歳";

// A scan stopped at a malformed line: names the file, the line and what is
// wrong with it.
[[nodiscard]] QString MalformedLine(const ScanStatus& status);
// What the user must hear of how a scan ended: the file did not open, or
// a malformed line hides people (any malformed line, when a line is about
// to be appended behind it). nullopt when there is nothing to say.
[[nodiscard]] std::optional<QString> ScanProblem(const ScanStatus& status, bool appending = false);
// The double-clicked name is not (or no longer) in the data file.
[[nodiscard]] QString NameNotInFile(const QString& name);
// A field holds a character that cannot be stored in the data file.
[[nodiscard]] QString NotStorable(const QString& label);
// A field is longer than the data file can hold.
[[nodiscard]] QString TooLongForFile(const QString& label, int maxBytes);

}  // namespace msg
