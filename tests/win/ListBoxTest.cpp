#include "RecordingDialog.h"

#include <QElapsedTimer>
#include <QScrollBar>

namespace {

// Names in Shift_JIS.
const std::string kSato = "\x8D\xB2\x93\xA1";  // 佐藤
const std::string kKato = "\x89\xC1\x93\xA1";  // 加藤
const std::string kAbe = "\x88\xA2\x95\x94";   // 阿部
const std::string kKatoReading = "\x82\xA9\x82\xC6\x82\xA4";  // かとう

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override { m_dialog.Create(); m_list.Attach(m_dialog, 1007); }

    void Add(std::initializer_list<std::string> names)
    {
        for (const std::string& name : names)
            m_list.AddString(name);
    }

    std::vector<std::string> Items() const
    {
        std::vector<std::string> items;
        for (int index = 0; index < m_list.GetCount(); ++index)
            items.push_back(m_list.GetText(index));
        return items;
    }

    RecordingDialog m_dialog{IDD_ADDRESSBOOK};
    CListBox m_list;
};

TEST_F(ListBoxTest, KeepsJapaneseOrderOfTheSortKeyThenTheTextAndTheSelectedItem)
{
    m_list.AddString(kSato, "\x82\xB3\x82\xC6\x82\xA4");  // さとう
    m_list.AddString(kKato, kKatoReading);
    m_list.SetCurSel(1);
    m_list.AddString(kAbe, "\x82\xA0\x82\xD7");  // あべ
    m_list.AddString("Zed", kKatoReading);
    m_list.AddString("Abe", kKatoReading);
    EXPECT_EQ(Items(), (std::vector<std::string>{kAbe, "Abe", "Zed", kKato, kSato}));
    EXPECT_EQ(m_list.GetCurSel(), 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_list.Widget()->model()->index(0, 0).data().toString(), QStringLiteral("阿部"));
}

TEST_F(ListBoxTest, EqualItemsAreAllKeptInArrivalOrderAndGiveBackTheirOwnBytes)
{
    // Undecodable bytes all show as U+FFFD: equal to the collation.
    Add({"\xFF", "x", "\x80", "x", "\x82"});
    EXPECT_EQ(Items(), (std::vector<std::string>{"x", "x", "\xFF", "\x80", "\x82"}));
}

TEST_F(ListBoxTest, DeleteReturnsTheRemainingCountAndTheSelectionFollowsItsItem)
{
    Add({"a", "b", "c", "d"});
    QCoreApplication::processEvents();
    QItemSelectionModel* shown = m_list.Widget()->selectionModel();
    shown->select(m_list.Widget()->model()->index(2, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(m_list.GetCurSel(), 2);
    EXPECT_EQ(m_list.DeleteString(4), LB_ERR);
    EXPECT_EQ(m_list.DeleteString(-1), LB_ERR);
    EXPECT_EQ(m_list.DeleteString(0), 3);
    EXPECT_EQ(m_list.GetCurSel(), 1);
    QCoreApplication::processEvents();  // the view catches up between frames
    EXPECT_EQ(shown->selectedRows().value(0).row(), 1);
    EXPECT_EQ(m_list.DeleteString(1), 2);
    EXPECT_EQ(m_list.GetCurSel(), -1);
    EXPECT_EQ(Items(), (std::vector<std::string>{"b", "d"}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown->selectedRows().isEmpty());
    m_list.SetCurSel(1);
    EXPECT_EQ(shown->selectedRows().value(0).row(), 1);
    EXPECT_EQ(m_list.DeleteString(0), 1);
    EXPECT_EQ(m_list.DeleteString(0), 0);
    EXPECT_EQ(m_list.DeleteString(0), LB_ERR);
}

TEST_F(ListBoxTest, SelectStringFindsTheFirstItemBeginningWithThePrefixIgnoringAsciiCase)
{
    EXPECT_EQ(m_list.SelectString(""), LB_ERR);
    // ア is 83 41 and ヂ is 83 61: folding a trail byte would match ヂ for ア.
    Add({"TANAKA", "tanabe", "\x83\x61", "\x83\x41\x83\x43", kSato});
    const std::pair<std::string, const char*> rows[] = {
        {"TANAKA", "TANAKA"},         {"TaNaK", "TANAKA"},        {"tanab", "tanabe"},  {"", "tanabe"},
        {"\x8D\xB2", "\x8D\xB2\x93\xA1"}, {"\x83\x41", "\x83\x41\x83\x43"}, {"\x83\x61", "\x83\x61"},
        {"x", nullptr},               {"TANAKAS", nullptr},
    };
    for (const auto& [prefix, expected] : rows) {
        SCOPED_TRACE(prefix);
        m_list.SetCurSel(3);
        const std::string kept = m_list.GetText(3);
        const int found = m_list.SelectString(prefix);
        EXPECT_EQ(found, expected != nullptr ? m_list.GetCurSel() : LB_ERR);
        EXPECT_EQ(m_list.GetText(m_list.GetCurSel()), expected != nullptr ? expected : kept);
    }
}

TEST_F(ListBoxTest, AMillionNamesLoadSortAndClearWithoutAQuadraticStep)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 1000000; ++i) {
        const unsigned scrambled = static_cast<unsigned>(i) * 2654435761u;
        const std::string reading = {'\x82', static_cast<char>(0x9F + scrambled % 80), '\x82',
                                     static_cast<char>(0x9F + (scrambled / 80) % 80)};
        m_list.AddString("\x93\x63\x92\x86" + std::to_string(scrambled % 1000003), reading);
    }
    ASSERT_EQ(m_list.GetCount(), 1000000);
    QTest::qWait(20);
    EXPECT_TRUE(m_list.Widget()->verticalScrollBar()->isEnabled()) << "only when the items overflow";
    const int found = m_list.SelectString("\x93\x63\x92\x86" "1");
    EXPECT_NE(found, LB_ERR);
    EXPECT_EQ(m_list.GetCurSel(), found);
    while (m_list.DeleteString(0) > 0) {
    }
    EXPECT_EQ(m_list.GetCount(), 0);
    QTest::qWait(20);
    EXPECT_FALSE(m_list.Widget()->verticalScrollBar()->isEnabled());
    EXPECT_TRUE(m_list.Widget()->verticalScrollBar()->isVisible());
    // Generous for a loaded machine; a quadratic step would take hours.
    EXPECT_LT(timer.elapsed(), 30000);
}

}  // namespace
