// The print dialog of the postcards, in process: opened from the window
// menu on the people the list shows, its choices remembered in a settings
// file of the test's own, and its PDF the same as kanaroku-hagaki's.
#include "CardChoices.h"
#include "DictionaryFiles.h"
#include "FormHarness.h"
#include "PrintCardsDialog.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

// The settings (and imported postal codes) go to a folder of the test
// process's own, set before Qt first looks for it.
const struct ConfigHome {
    std::string path;
    ConfigHome()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kanaroku-config-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
        ::setenv("XDG_CONFIG_HOME", path.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (path + "/data").c_str(), 1);        // where imported postal codes go
        ::setenv("CUPS_SERVER", (path + "/no-scheduler").c_str(), 1);  // no printers: Qt's dialog prints to a file
    }
    ~ConfigHome() { std::filesystem::remove_all(path); }
} CONFIG_HOME;

const std::filesystem::path SETTINGS_FILE = std::filesystem::path(CONFIG_HOME.path) / "kanaroku" / "kanaroku.conf";

std::string Person(const std::string& head, const std::string& zip1 = "", const std::string& zip2 = "")
{
    return Sjis(head + ",1980,4,1,0,," + zip1 + "," + zip2 + ",0,*,*,*,*,*,*,*,*,*,*,*,*\r\n");
}

// Two of あ, one a sender; three of か: one without an address, one with
// a Western address, one with a code that is not 3 + 4 digits.
const std::string BOOK = Person("0,あおき いちろう,青木 一郎,東京都千代田区丸の内1-2-3,ABCマンション101", "100", "0005")
                         + Person("1,かとう はなこ,加藤 花子,,")
                         + Person("1,きむら だいち,木村 大地,愛知県ひがし市栄町5-2,", "12", "345")
                         + Person("0,いとう まこと,伊藤 誠,大阪府なにわ市北浜1-1-1,", "530", "5501")
                         + Person("1,けいと,Kate Smith,12 Baker Street London,");

const QString NO_ADDRESS = QStringLiteral("住所がありません");
const QString LATIN = QStringLiteral("住所に日本語の文字がありません (縦書きの宛名にしない外国の住所です)");

template <typename T>
T* Control(QWidget* dialog, const QString& name)
{
    for (T* control : dialog->findChildren<T*>()) {
        if (control->accessibleName() == name)
            return control;
    }
    ADD_FAILURE() << "no control " << name.toStdString();
    return nullptr;
}

QListWidget* People(QWidget* dialog)
{
    return Control<QListWidget>(dialog, QStringLiteral("宛先"));
}

// name, then [x] checked, [ ] unchecked or ( ) greyed, then the tooltip.
QStringList Rows(QWidget* dialog)
{
    QStringList rows;
    QListWidget* list = People(dialog);
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        const bool enabled = item->flags() & Qt::ItemIsEnabled;
        const QString mark = !enabled ? "( )" : item->checkState() == Qt::Checked ? "[x]" : "[ ]";
        EXPECT_EQ(item->data(Qt::AccessibleDescriptionRole).toString(), item->toolTip());
        rows.append(item->text() + ' ' + mark + (item->toolTip().isEmpty() ? "" : ' ' + item->toolTip()));
    }
    return rows;
}

// Runs body on the print dialog the window menu opens, then closes it.
void WithDialogFromMenu(FormHarness& form, const std::function<void(QWidget*)>& body)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("はがきの宛名を印刷"));
        body(dialog);
        ran = true;
        QTest::mouseClick(Control<QPushButton>(dialog, QStringLiteral("閉じる")), Qt::LeftButton);
    });
    form.Dialog().OnSysCommand(IDM_HAGAKI_PRINT);
    EXPECT_TRUE(ran);
}

// The dialog on everyone in ./AddressTable.csv, as the list shows them all.
std::unique_ptr<printdlg::PrintCardsDialog> OpenOnBook()
{
    auto book = std::get<std::vector<postcard::BookPerson>>(postcard::ReadBook());
    auto dialog = std::make_unique<printdlg::PrintCardsDialog>(book, book);
    dialog->show();
    return dialog;
}

void ChooseFile(const QString& path)
{
    QTimer::singleShot(0, [path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

class PrintDialog : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(SETTINGS_FILE); }
};

// The window menu's item opens the dialog on the row the list shows, in
// its order; the people who get no card are greyed with the reason. Every
// control has a name a screen reader reads.
TEST_F(PrintDialog, ListsThePeopleShownAndGreysThoseWithoutACard)
{
    FormHarness form(BOOK);
    WithDialogFromMenu(form, [](QWidget* dialog) {
        EXPECT_EQ(Rows(dialog), (QStringList{"青木 一郎 [x]", "伊藤 誠 [x]", "加藤 花子 ( ) " + NO_ADDRESS,
                                             "木村 大地 [x]", "Kate Smith ( ) " + LATIN}));
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            if (control->focusPolicy() != Qt::NoFocus && control->isVisible()) {
                EXPECT_FALSE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty())
                    << control->metaObject()->className();
            }
        }
    });
    // A sender no card can carry leaves everyone without a card, and says why.
    WithDialogFromMenu(form, [](QWidget* dialog) {
        Control<QComboBox>(dialog, QStringLiteral("差出人"))->setCurrentText(QStringLiteral("加藤 花子"));
        const QString why = QStringLiteral("差出人の住所がありません");
        EXPECT_EQ(Rows(dialog), (QStringList{"青木 一郎 ( ) " + why, "伊藤 誠 ( ) " + why, "加藤 花子 ( ) " + why,
                                             "木村 大地 ( ) " + why, "Kate Smith ( ) " + why}));
        EXPECT_FALSE(Control<QPushButton>(dialog, QStringLiteral("印刷…"))->isEnabled());
        EXPECT_FALSE(Control<QPushButton>(dialog, QStringLiteral("PDF に保存…"))->isEnabled());
        Control<QComboBox>(dialog, QStringLiteral("差出人"))->setCurrentIndex(0);
        QStringList statuses;
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            statuses.append(label->text());
        EXPECT_TRUE(
            statuses.contains(QStringLiteral("はがき 3 枚（はがきにできない人 2 人: 理由は名前のヒントに表示）")));
    });
    form.Click(IDC_INDEX_KA);
    WithDialogFromMenu(form, [](QWidget* dialog) {
        EXPECT_EQ(Rows(dialog),
                  (QStringList{"加藤 花子 ( ) " + NO_ADDRESS, "木村 大地 [x]", "Kate Smith ( ) " + LATIN}));
        EXPECT_EQ(Control<QComboBox>(dialog, QStringLiteral("差出人"))->count(), 6);  // なし and the whole book
        QStringList statuses;
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            statuses.append(label->text());
        EXPECT_TRUE(
            statuses.contains(QStringLiteral("はがき 1 枚（はがきにできない人 2 人: 理由は名前のヒントに表示）")));
    });
}

// Unchecking a person (by keyboard) and changing any option redraws the
// preview: one page per checked card.
TEST_F(PrintDialog, PreviewFollowsTheChoices)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, BOOK);
    auto dialog = OpenOnBook();
    auto* preview = Control<QPrintPreviewWidget>(dialog.get(), QStringLiteral("はがきのプレビュー"));
    EXPECT_EQ(preview->pageCount(), 3);
    QListWidget* list = People(dialog.get());
    list->setFocus();
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(Rows(dialog.get()).at(1), "伊藤 誠 [ ]");
    EXPECT_EQ(preview->pageCount(), 2);
    // Page by page: 前のはがき only after the first card, 次のはがき up to the last.
    auto* previous = Control<QPushButton>(dialog.get(), QStringLiteral("前のはがき"));
    auto* next = Control<QPushButton>(dialog.get(), QStringLiteral("次のはがき"));
    EXPECT_EQ(std::make_pair(previous->isEnabled(), next->isEnabled()), std::make_pair(false, true));
    next->click();
    EXPECT_EQ(preview->currentPage(), 2);
    EXPECT_EQ(std::make_pair(previous->isEnabled(), next->isEnabled()), std::make_pair(true, false));
    // Each control alone, by keyboard where a user would use keys, redraws the page.
    QWidget* d = dialog.get();
    const std::pair<const char*, std::function<void()>> CHANGES[] = {
        {"差出人", [d] { Control<QComboBox>(d, QStringLiteral("差出人"))->setCurrentIndex(1); }},
        {"敬称", [d] { Control<QComboBox>(d, QStringLiteral("敬称"))->setCurrentIndex(1); }},
        {"算用数字", [d] { Control<QRadioButton>(d, QStringLiteral("算用数字"))->click(); }},
        {"ゴシック", [d] { Control<QRadioButton>(d, QStringLiteral("ゴシック"))->click(); }},
        {"枠も印刷する",
         [d] { QTest::keyClick(Control<QCheckBox>(d, QStringLiteral("枠も印刷する")), Qt::Key_Space); }},
        {"X",
         [d] {
             QTest::keyClick(Control<QDoubleSpinBox>(d, QStringLiteral("印刷位置の調整 X (右へ mm)")), Qt::Key_Up);
         }},
        {"Y",
         [d] {
             QTest::keyClick(Control<QDoubleSpinBox>(d, QStringLiteral("印刷位置の調整 Y (下へ mm)")), Qt::Key_Down);
         }},
    };
    for (const auto& [what, change] : CHANGES) {
        const QImage before = preview->grab().toImage();
        change();
        QApplication::processEvents();
        EXPECT_NE(preview->grab().toImage(), before) << what;
    }
    // One key press is one step of 0.1 mm.
    EXPECT_DOUBLE_EQ(Control<QDoubleSpinBox>(d, QStringLiteral("印刷位置の調整 X (右へ mm)"))->value(), 0.1);
    EXPECT_DOUBLE_EQ(Control<QDoubleSpinBox>(d, QStringLiteral("印刷位置の調整 Y (下へ mm)"))->value(), -0.1);
}

// With a postal-code dictionary, a code that does not belong to the
// address gets a mark and says why; the card is still made.
TEST_F(PrintDialog, MarksACodeThatDoesNotBelongToTheAddress)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, BOOK);
    const std::filesystem::path imported = postal::DataDirectory() / postal::IMPORTED_GENERAL;
    std::filesystem::create_directories(imported.parent_path());
    ASSERT_EQ(
        postal::WriteImportedFile(imported, {{"1000005", "東京都千代田区丸の内"}, {"5300041", "大阪府なにわ市北浜"}}),
        "");
    auto dialog = OpenOnBook();
    std::filesystem::remove(imported);
    EXPECT_EQ(
        Rows(dialog.get()),
        (QStringList{"青木 一郎 [x]", "伊藤 誠 [x] 郵便番号 530-5501 は住所と合いません (郵便番号辞書では 530-0041)",
                     "加藤 花子 ( ) " + NO_ADDRESS, "木村 大地 [x]", "Kate Smith ( ) " + LATIN}));
    QStringList marked;
    for (int row = 0; row < People(dialog.get())->count(); ++row) {
        if (!People(dialog.get())->item(row)->icon().isNull())
            marked.append(People(dialog.get())->item(row)->text());
    }
    EXPECT_EQ(marked, QStringList{QStringLiteral("伊藤 誠")});
    EXPECT_EQ(Control<QPrintPreviewWidget>(dialog.get(), QStringLiteral("はがきのプレビュー"))->pageCount(), 3);
}

struct SettingsCase {
    const char* what;
    std::string bytes;
};

// Every choice and the unchecked people come back in the next dialog; a
// settings file of nonsense gives the defaults.
TEST_F(PrintDialog, RemembersEveryChoiceAndIgnoresNonsense)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, BOOK);
    const auto state = [](QWidget* dialog) {
        QStringList shown{Control<QComboBox>(dialog, QStringLiteral("差出人"))->currentText(),
                          Control<QComboBox>(dialog, QStringLiteral("敬称"))->currentText()};
        for (const char* name : {"漢数字", "算用数字", "明朝", "ゴシック"})
            shown.append(Control<QRadioButton>(dialog, QString::fromUtf8(name))->isChecked() ? "*" : "-");
        shown.append(Control<QCheckBox>(dialog, QStringLiteral("枠も印刷する"))->isChecked() ? "枠" : "-");
        for (const char* axis : {"X (右へ mm)", "Y (下へ mm)"})
            shown.append(QString::number(
                Control<QDoubleSpinBox>(dialog, QStringLiteral("印刷位置の調整 ") + QString::fromUtf8(axis))->value()));
        return shown + Rows(dialog);
    };
    // sender, 敬称, 漢数字 算用数字 明朝 ゴシック, 枠, X, Y, then the people
    const QStringList defaults = QStringList{"なし", "様", "*", "-", "*", "-", "-", "0", "0"}
                                 + QStringList{"青木 一郎 [x]", "伊藤 誠 [x]", "加藤 花子 ( ) " + NO_ADDRESS,
                                               "木村 大地 [x]", "Kate Smith ( ) " + LATIN};
    {
        auto dialog = OpenOnBook();
        EXPECT_EQ(state(dialog.get()), defaults);
        Control<QComboBox>(dialog.get(), QStringLiteral("差出人"))->setCurrentText(QStringLiteral("木村 大地"));
        Control<QComboBox>(dialog.get(), QStringLiteral("敬称"))->setCurrentText(QStringLiteral("御中"));
        Control<QRadioButton>(dialog.get(), QStringLiteral("算用数字"))->click();
        Control<QRadioButton>(dialog.get(), QStringLiteral("ゴシック"))->click();
        Control<QCheckBox>(dialog.get(), QStringLiteral("枠も印刷する"))->click();
        Control<QDoubleSpinBox>(dialog.get(), QStringLiteral("印刷位置の調整 X (右へ mm)"))->setValue(-5);
        Control<QDoubleSpinBox>(dialog.get(), QStringLiteral("印刷位置の調整 Y (下へ mm)"))->setValue(2.3);
        People(dialog.get())->item(3)->setCheckState(Qt::Unchecked);
    }
    auto dialog = OpenOnBook();
    EXPECT_EQ(state(dialog.get()),
              (QStringList{"木村 大地", "御中", "-", "*", "-", "*", "枠", "-5", "2.3", "青木 一郎 [x]", "伊藤 誠 [x]",
                           "加藤 花子 ( ) " + NO_ADDRESS, "木村 大地 [ ]", "Kate Smith ( ) " + LATIN}));
    EXPECT_EQ(printdlg::SettingsFilePath(), SETTINGS_FILE.string());
    EXPECT_TRUE(std::filesystem::exists(SETTINGS_FILE));
    EXPECT_EQ(ReadFileBytes(ADDRESS_TABLE_FILE), BOOK);

    const SettingsCase NONSENSE[] = {
        {"unknown words, offsets out of range",
         "[hagaki]\nsender=誰か\nhonorific=sir\nnumerals=roman\nfont=comic\n"
         "frames=maybe\noffsetX=99\noffsetY=nan\n"},
        {"not text at all", std::string("\0\xff\xfe[hagaki\x01\n=\n\xe3\x81", 13)},
        {"a folder in the file's place", ""},
    };
    for (const SettingsCase& bad : NONSENSE) {
        std::filesystem::remove_all(SETTINGS_FILE);
        if (bad.bytes.empty())
            std::filesystem::create_directories(SETTINGS_FILE);
        else
            WriteFileBytes(SETTINGS_FILE, bad.bytes);
        auto fresh = OpenOnBook();
        EXPECT_EQ(state(fresh.get()), defaults) << bad.what;
    }
    std::filesystem::remove_all(SETTINGS_FILE);
}

// pdftotext's words with their boxes, page by page: what a reader of the
// PDF sees, without the dates a PDF carries.
QStringList Words(const QString& pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(30000));
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression item(
        QStringLiteral("<page [^>]*>|<word xMin=\"([^\"]+)\" yMin=\"([^\"]+)\" "
                       "xMax=\"([^\"]+)\" yMax=\"([^\"]+)\">([^<]*)</word>"));
    QStringList words;
    for (const QRegularExpressionMatch& match : item.globalMatch(html)) {
        if (match.captured(5).isEmpty() && match.captured(0).startsWith(QStringLiteral("<page"))) {
            words.append(QStringLiteral("page"));
            continue;
        }
        QString word = match.captured(5);
        for (int i = 1; i <= 4; ++i)
            word += ' ' + QString::number(match.captured(i).toDouble(), 'f', 2);
        words.append(word);
    }
    return words;
}

// The PDF saved from the dialog reads as kanaroku-hagaki's for the same
// choices, word by word and box by box, and the summaries agree.
TEST_F(PrintDialog, SavesThePagesKanarokuHagakiWrites)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, BOOK);
    auto dialog = OpenOnBook();
    Control<QComboBox>(dialog.get(), QStringLiteral("差出人"))->setCurrentText(QStringLiteral("伊藤 誠"));
    Control<QComboBox>(dialog.get(), QStringLiteral("敬称"))->setCurrentText(QStringLiteral("殿"));
    Control<QRadioButton>(dialog.get(), QStringLiteral("算用数字"))->click();
    Control<QRadioButton>(dialog.get(), QStringLiteral("ゴシック"))->click();
    Control<QCheckBox>(dialog.get(), QStringLiteral("枠も印刷する"))->click();
    Control<QDoubleSpinBox>(dialog.get(), QStringLiteral("印刷位置の調整 X (右へ mm)"))->setValue(1.5);
    Control<QDoubleSpinBox>(dialog.get(), QStringLiteral("印刷位置の調整 Y (下へ mm)"))->setValue(-0.7);
    People(dialog.get())->item(1)->setCheckState(Qt::Unchecked);  // 伊藤 誠

    MessageBoxCapture messages;
    const QString saved = QDir::current().absoluteFilePath(QStringLiteral("dialog.pdf"));
    ChooseFile(saved);
    Control<QPushButton>(dialog.get(), QStringLiteral("PDF に保存…"))->click();
    ASSERT_EQ(messages.Messages().size(), 1U);

    QProcess hagaki;
    hagaki.start(QStringLiteral(HAGAKI_COMMAND),
                 {"--sender", "伊藤 誠", "--honorific", "殿", "--numerals", "arabic", "--font", "gothic", "--frames",
                  "--offset", "1.5,-0.7", "hagaki.pdf", "青木 一郎", "加藤 花子", "木村 大地", "Kate Smith"});
    ASSERT_TRUE(hagaki.waitForFinished(30000));
    ASSERT_EQ(hagaki.exitCode(), 0) << hagaki.readAllStandardError().toStdString();
    const QString summary = QString::fromUtf8(hagaki.readAllStandardOutput());
    EXPECT_EQ(messages.Messages().front(), QString(summary).replace(QStringLiteral("hagaki.pdf"), saved));

    const QStringList words = Words(saved);
    EXPECT_EQ(words.count(QStringLiteral("page")), 2);
    EXPECT_GT(words.size(), 20);  // two cards of text, not two empty pages
    EXPECT_EQ(words, Words(QStringLiteral("hagaki.pdf")));
}

// 印刷… through Qt's print dialog, here to the PDF file it offers when
// there is no printer: the pages of the cards checked, all of them or the
// range asked for, and the summary names the file.
TEST_F(PrintDialog, PrintsTheCheckedCardsThroughThePrintDialog)
{
    TempWorkDir dir;
    WriteFileBytes(ADDRESS_TABLE_FILE, BOOK);
    auto dialog = OpenOnBook();
    MessageBoxCapture messages;
    const QString printed = QDir::current().absoluteFilePath(QStringLiteral("printed.pdf"));
    for (const int last : {0, 2}) {  // every card, then cards 2 to 2
        QTimer::singleShot(0, [&] {
            auto* print = dynamic_cast<QPrintDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(print, nullptr);
            // The dialog's own fields, as a user fills them in: it sets the printer from them.
            print->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(printed);
            if (last > 0) {
                print->findChild<QRadioButton*>(QStringLiteral("printRange"))->setChecked(true);
                print->findChild<QSpinBox*>(QStringLiteral("from"))->setValue(last);
                print->findChild<QSpinBox*>(QStringLiteral("to"))->setValue(last);
            }
            print->accept();
        });
        Control<QPushButton>(dialog.get(), QStringLiteral("印刷…"))->click();
        const QStringList words = Words(printed);
        EXPECT_EQ(words.count(QStringLiteral("page")), last > 0 ? 1 : 3) << last;
        // 青木's and 伊藤's codes, or 伊藤's alone (木村's is not 3 + 4 digits).
        EXPECT_EQ(words.filter(QRegularExpression(QStringLiteral("^\\d "))).size(), last > 0 ? 7 : 14) << last;
    }
    const QString summary = printed
                            + QStringLiteral(" にはがき %1 枚を書きました。\nはがきにしなかった人: 2 人\n  加藤 花子: ")
                            + NO_ADDRESS
                            + QStringLiteral(
                                "\n  木村 大地: 郵便番号が 3 桁と 4 桁の数字ではないので、"
                                "郵便番号なしで書きました\n  Kate Smith: ")
                            + LATIN + "\n";
    EXPECT_EQ(QStringList(messages.Messages().begin(), messages.Messages().end()),
              (QStringList{summary.arg(3), summary.arg(1)}));
}

}  // namespace
