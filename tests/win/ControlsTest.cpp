#include "RecordingDialog.h"
#include "SjisText.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QToolButton>

#include <optional>

namespace {

// Type: each character as a key press carrying that text, as a keyboard
// layout sends it. Retype: the same after GotoDlgCtrl, over the whole text.
// Shrink: Backspace, then type. The arrows are those of the year's up-down.
enum class Way { Type, Retype, Shrink, InputMethod, Paste, UpArrow, DownArrow, UpKey, DownKey };

void Enter(CDialog& dialog, int id, Way way, const QString& text)
{
    auto* edit = static_cast<QLineEdit*>(dialog.GetDlgItem(id));
    if (way == Way::Retype)
        dialog.GotoDlgCtrl(id);
    if (way == Way::Shrink)
        QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar ch : way <= Way::Shrink ? text : QString()) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &press);
    }
    if (way == Way::InputMethod) {
        QInputMethodEvent composing(text, {});
        QApplication::sendEvent(edit, &composing);
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(edit, &commit);
    }
    if (way == Way::Paste) {
        QGuiApplication::clipboard()->setText(text);
        edit->paste();
    }
    if (way == Way::UpKey || way == Way::DownKey)
        QTest::keyClick(edit, way == Way::UpKey ? Qt::Key_Up : Qt::Key_Down);
    for (QToolButton* arrow : dialog.GetDlgItem(IDC_YEAR_SPIN)->findChildren<QToolButton*>()) {
        if (arrow->arrowType() == (way == Way::UpArrow ? Qt::UpArrow : way == Way::DownArrow ? Qt::DownArrow : Qt::NoArrow))
            QTest::mouseClick(arrow, Qt::LeftButton);
    }
}

TEST(Edit, TakesOnlyWholeChangesThatFitAndTheUpDownStepsItsBuddyWithinItsRange)
{
    const std::string thirty = "abcdefghijklmnopqrstuvwxyz1234";
    const struct {
        const char* name;
        int id;
        int limit;
        std::string programText;  // Shift_JIS bytes set before the user acts
        Way way;
        QString input;
        QString expected;
    } rows[] = {
        {"TypingPastTheLimitStopsThere", IDC_NAME, 4, "", Way::Type, "abcde", "abcd"},
        {"DoubleByteDoesNotFitInOneByte", IDC_NAME, 4, "abc", Way::Type, "な", "abc"},
        {"HalfwidthKanaIsOneByte", IDC_NAME, 4, "abc", Way::Type, "ｱ", "abcｱ"},
        {"RetypingCountsOnlyWhatRemains", IDC_NAME, 3, "123", Way::Retype, "な", "な"},
        {"InputMethodPastTheLimitIsRefusedWhole", IDC_NAME, 32, thirty, Way::InputMethod, "山田", thirty.c_str()},
        {"PastePastTheLimitIsRefusedWhole", IDC_NAME, 5, "03", Way::Paste, "1234", "03"},
        {"CommaTyped", IDC_NAME, 0, "a", Way::Type, "b,c", "abc"},
        {"CommaPasted", IDC_NAME, 0, "a", Way::Paste, "b,c", "a"},
        {"CommaFromInputMethod", IDC_NAME, 0, "", Way::InputMethod, "1,2", ""},
        {"FullwidthCommaIsFine", IDC_NAME, 0, "", Way::Type, "，", "，"},
        {"UnencodableTyped", IDC_NAME, 0, "", Way::Type, "é", ""},
        {"UnencodablePasted", IDC_NAME, 0, "", Way::Paste, "한국", ""},
        {"EmojiFromInputMethod", IDC_NAME, 0, "", Way::InputMethod, "😀", ""},
        {"WaveDashFromInputMethodIsTaken", IDC_NAME, 8, "1", Way::InputMethod, "〜3丁目", "1〜3丁目"},
        // 山田太郎 is eight bytes: it may be shortened but not lengthened.
        {"ProgramTextOverTheLimitMayOnlyShrink", IDC_NAME, 4, "\x8E\x52\x93\x63\x91\xBE\x98\x59", Way::Shrink, "x",
         "山田太"},
        {"ProgramTextKeepsItsComma", IDC_NAME, 0, "\x93\x8C\x8B\x9E\x93\x73,1\x81\x60", Way::Type, "", "東京都,1～"},
        {"ProgramTextWithUndecodableByte", IDC_NAME, 4, "a\x80", Way::Type, "b", "a\uFFFDb"},
        {"UpKeyStepsOnlyTheBuddy", IDC_NAME, 0, "1970", Way::UpKey, "", "1970"},
        {"UpArrowAtTheTopStays", IDC_YEAR, 0, "2099", Way::UpArrow, "", "2099"},
        {"UpKeyToTheTop", IDC_YEAR, 0, "2098", Way::UpKey, "", "2099"},
        {"DownKeyAtTheBottomStays", IDC_YEAR, 0, "1900", Way::DownKey, "", "1900"},
        {"DownArrowToTheBottom", IDC_YEAR, 0, "1901", Way::DownArrow, "", "1900"},
        {"BelowTheRangeComesIn", IDC_YEAR, 0, "1850", Way::UpArrow, "", "1900"},
        {"AboveTheRangeComesIn", IDC_YEAR, 0, "2500", Way::DownKey, "", "2099"},
        {"BlanksAroundAreRead", IDC_YEAR, 0, " 1999 ", Way::UpKey, "", "2000"},
        {"LettersLandOnTheBottom", IDC_YEAR, 0, "19x0", Way::DownArrow, "", "1900"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingDialog dialog;
        CEdit edit, year;
        edit.Attach(dialog, row.id);
        edit.SetLimitText(row.limit);
        edit.SetWindowText(row.programText);
        year.Attach(dialog, IDC_YEAR);
        CSpinButtonCtrl spin;
        spin.Attach(dialog, IDC_YEAR_SPIN);
        spin.SetRange(1900, 2099);
        spin.SetBuddy(year);
        edit.SetFocus();
        edit.Widget()->end(false);
        Enter(dialog, row.id, row.way, row.input);
        EXPECT_EQ(edit.Widget()->text(), row.expected);
        EXPECT_EQ(edit.GetWindowText(), sjis::FromQString(row.expected));  // nothing when U+FFFD shows
        // The arrows take no focus and nothing here sends a command.
        EXPECT_EQ(QApplication::focusWidget(), edit.Widget());
        EXPECT_TRUE(dialog.notes.empty());
    }
}

// Names in Shift_JIS.
const std::string kSato = "\x8D\xB2\x93\xA1";                 // 佐藤
const std::string kKato = "\x89\xC1\x93\xA1";                 // 加藤
const std::string kAbe = "\x88\xA2\x95\x94";                  // 阿部
const std::string kKatoReading = "\x82\xA9\x82\xC6\x82\xA4";  // かとう

struct ListBoxTest : ::testing::Test {
    ListBoxTest() { list.Attach(dialog, IDC_NAME_LIST); }

    std::vector<std::string> Items() const
    {
        std::vector<std::string> items;
        for (int index = 0; index < list.GetCount(); ++index)
            items.push_back(list.GetText(index));
        return items;
    }

    RecordingDialog dialog;
    CListBox list;
};

// Undecodable bytes all show as U+FFFD, equal to the collation.
TEST_F(ListBoxTest, SortsByTheKeyThenTheTextKeepsEqualItemsInArrivalOrderAndTheSelectedItem)
{
    list.AddString(kSato, "\x82\xB3\x82\xC6\x82\xA4");  // さとう
    list.AddString(kKato, kKatoReading);
    list.SetCurSel(1);
    list.AddString(kAbe, "\x82\xA0\x82\xD7");  // あべ
    list.AddString("Zed", kKatoReading);
    list.AddString("Abe", kKatoReading);
    for (const char* unsorted : {"\xFF", "x", "\x80", "x", "\x82"})
        list.AddString(unsorted);
    EXPECT_EQ(Items(), (std::vector<std::string>{"x", "x", "\xFF", "\x80", "\x82", kAbe, "Abe", "Zed", kKato, kSato}));
    EXPECT_EQ(list.GetCurSel(), 9);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.Widget()->model()->index(5, 0).data().toString(), QStringLiteral("阿部"));
}

TEST_F(ListBoxTest, DeleteReturnsTheRemainingCountAndTheSelectionFollowsItsItem)
{
    for (const char* item : {"a", "b", "c", "d"})
        list.AddString(item);
    QCoreApplication::processEvents();
    QItemSelectionModel* shown = list.Widget()->selectionModel();
    shown->select(list.Widget()->model()->index(2, 0), QItemSelectionModel::ClearAndSelect);  // as a click does
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(list.DeleteString(4), LB_ERR);
    EXPECT_EQ(list.DeleteString(-1), LB_ERR);
    EXPECT_EQ(list.DeleteString(0), 3);
    EXPECT_EQ(list.GetCurSel(), 1);
    QCoreApplication::processEvents();  // the view catches up between frames
    EXPECT_EQ(shown->selectedRows().value(0).row(), 1);
    EXPECT_EQ(list.DeleteString(1), 2);
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(Items(), (std::vector<std::string>{"b", "d"}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown->selectedRows().isEmpty());
    list.SetCurSel(1);
    EXPECT_EQ(shown->selectedRows().value(0).row(), 1);
    EXPECT_EQ(list.DeleteString(0), 1);
    EXPECT_EQ(list.DeleteString(0), 0);
    EXPECT_EQ(list.DeleteString(0), LB_ERR);
}

// ア is 83 41 and ヂ is 83 61: folding a trail byte would match ヂ for ア.
TEST_F(ListBoxTest, SelectStringFindsTheFirstItemBeginningWithThePrefixIgnoringAsciiCase)
{
    EXPECT_EQ(list.SelectString(""), LB_ERR);
    for (const std::string& item : {std::string("TANAKA"), std::string("tanabe"), std::string("\x83\x61"),
                                    std::string("\x83\x41\x83\x43"), kSato})
        list.AddString(item);
    const std::pair<std::string, const char*> rows[] = {
        {"TANAKA", "TANAKA"}, {"TaNaK", "TANAKA"},  {"tanab", "tanabe"}, {"", "tanabe"}, {"\x8D\xB2", "\x8D\xB2\x93\xA1"},
        {"\x83\x41", "\x83\x41\x83\x43"}, {"\x83\x61", "\x83\x61"}, {"x", nullptr}, {"TANAKAS", nullptr},
    };
    for (const auto& [prefix, expected] : rows) {
        SCOPED_TRACE(prefix);
        list.SetCurSel(3);
        const std::string kept = list.GetText(3);
        const int found = list.SelectString(prefix);
        EXPECT_EQ(found, expected != nullptr ? list.GetCurSel() : LB_ERR);
        EXPECT_EQ(list.GetText(list.GetCurSel()), expected != nullptr ? expected : kept);
    }
}

TEST_F(ListBoxTest, AMillionNamesLoadSortAndClearWithoutAQuadraticStep)
{
    QElapsedTimer timer;
    timer.start();
    for (unsigned i = 0; i < 1000000; ++i) {
        const unsigned scrambled = i * 2654435761u;
        const std::string reading = {'\x82', static_cast<char>(0x9F + scrambled % 80), '\x82',
                                     static_cast<char>(0x9F + (scrambled / 80) % 80)};
        list.AddString("\x93\x63\x92\x86" + std::to_string(scrambled % 1000003), reading);  // 田中…
    }
    ASSERT_EQ(list.GetCount(), 1000000);
    QTest::qWait(20);
    EXPECT_TRUE(list.Widget()->verticalScrollBar()->isEnabled()) << "only when the items overflow";
    const int rowHeight = list.Widget()->visualRect(list.Widget()->model()->index(0, 0)).height();
    EXPECT_EQ(list.Widget()->viewport()->height() % rowHeight, 0) << "no item is cut off at the bottom";
    const int found = list.SelectString("\x93\x63\x92\x86" "1");
    EXPECT_NE(found, LB_ERR);
    EXPECT_EQ(list.GetCurSel(), found);
    while (list.DeleteString(0) > 0) {
    }
    EXPECT_EQ(list.GetCount(), 0);
    QTest::qWait(20);
    EXPECT_FALSE(list.Widget()->verticalScrollBar()->isEnabled());
    EXPECT_TRUE(list.Widget()->verticalScrollBar()->isVisible());
    // Generous for a loaded machine; a quadratic step would take hours.
    EXPECT_LT(timer.elapsed(), 30000);
}

TEST(SjisCodec, EncodesToCodePage932OrRefusesWholeAndDecodesInvalidBytesAsReplacements)
{
    enum Way { Both, EncodeOnly, DecodeOnly };
    const struct {
        const char* name;
        QString text;
        std::optional<std::string> bytes;  // nullopt: the text is refused
        Way way;  // EncodeOnly: a JIS form that reads back as its code page 932 twin
    } rows[] = {
        {"ascii", "Tanaka 03", "Tanaka 03", Both}, {"empty", "", "", Both},
        {"hiragana", "なまえ", "\x82\xC8\x82\xDC\x82\xA6", Both}, {"halfwidth katakana", "ｱｲ", "\xB1\xB2", Both},
        {"mixed", "1丁目", "1\x92\x9A\x96\xDA", Both}, {"star", "☆", "\x81\x99", Both},
        {"NEC special", "①", "\x87\x40", Both}, {"fullwidth tilde", "～", "\x81\x60", Both},
        {"backslash byte", "\\", "\x5C", Both},
        {"embedded zero", QString::fromUtf16(u"a\u0000b", 3), std::string("a\0b", 3), Both},
        {"wave dash", "1〜3", "1\x81\x60" "3", EncodeOnly}, {"double vertical line", "‖", "\x81\x61", EncodeOnly},
        {"minus sign", "−", "\x81\x7C", EncodeOnly}, {"cent", "¢", "\x81\x91", EncodeOnly},
        {"pound", "£", "\x81\x92", EncodeOnly}, {"not", "¬", "\x81\xCA", EncodeOnly},
        {"replacement character", "a\uFFFDb", std::nullopt, EncodeOnly},
        {"latin accent", "café", std::nullopt, EncodeOnly},
        // iconv would write the backslash byte, which reads back as "\".
        {"yen sign", "¥100", std::nullopt, EncodeOnly}, {"emoji", "a😀", std::nullopt, EncodeOnly},
        {"lone surrogate", QString(QChar(0xD800)), std::nullopt, EncodeOnly}, {"hangul", "한", std::nullopt, EncodeOnly},
        {"undefined single byte", "a\uFFFDb", "a\x80" "b", DecodeOnly},
        {"lead byte at the end", "ab\uFFFD", "ab\x82", DecodeOnly},
        {"lead byte before a blank", "\uFFFD x", "\x82 x", DecodeOnly},
        {"byte FF", "\uFFFD\uFFFD", "\xFF\xFF", DecodeOnly},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.way != DecodeOnly) {
            EXPECT_EQ(sjis::FromQString(row.text), row.bytes);
            EXPECT_EQ(sjis::ByteLength(row.text), row.bytes ? std::optional<int>(row.bytes->size()) : std::nullopt);
        }
        if (row.way != EncodeOnly)
            EXPECT_EQ(sjis::ToQString(*row.bytes), row.text);
    }
}

}  // namespace
