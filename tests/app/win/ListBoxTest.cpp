#include "Controls.h"
#include "RecordingDialog.h"
#include "Resources.h"

#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Names and their readings, in Shift_JIS.
const std::string kSato = "\x8D\xB2\x93\xA1";    // 佐藤
const std::string kKato = "\x89\xC1\x93\xA1";    // 加藤
const std::string kAbe = "\x88\xA2\x95\x94";     // 阿部
const std::string kSatoReading = "\x82\xB3\x82\xC6\x82\xA4";  // さとう
const std::string kKatoReading = "\x82\xA9\x82\xC6\x82\xA4";  // かとう
const std::string kAbeReading = "\x82\xA0\x82\xD7";           // あべ

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dialog.Create();
        m_list.Attach(m_dialog, 1007);
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

TEST_F(ListBoxTest, KeepsItemsInJapaneseOrderOfTheSortKeyThenTheText)
{
    m_list.AddString(kSato, kSatoReading);
    m_list.AddString(kAbe, kAbeReading);
    m_list.AddString(kKato, kKatoReading);
    m_list.AddString("Zed", kKatoReading);
    m_list.AddString("Abe", kKatoReading);
    EXPECT_EQ(Items(), (std::vector<std::string>{kAbe, "Abe", "Zed", kKato, kSato}));
}

TEST_F(ListBoxTest, AddingAfterAReadMergesIntoTheSortedItemsAndKeepsTheSelectedItem)
{
    m_list.AddString("b");
    m_list.AddString("d");
    m_list.SetCurSel(1);
    m_list.AddString("c");
    m_list.AddString("a");
    EXPECT_EQ(Items(), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(m_list.GetCurSel(), 3);
    EXPECT_EQ(m_list.GetText(m_list.GetCurSel()), "d");
}

TEST_F(ListBoxTest, EqualItemsAreAllKeptInTheOrderTheyCame)
{
    // Two undecodable bytes both show as U+FFFD: equal to the collation,
    // yet each gives back its own bytes.
    m_list.AddString("x");
    m_list.AddString("\xFF");
    m_list.AddString("x");
    m_list.AddString("\x80");
    m_list.AddString("\xFF");
    std::vector<std::string> undecodable;
    int letters = 0;
    for (const std::string& item : Items()) {
        if (item == "x")
            ++letters;
        else
            undecodable.push_back(item);
    }
    EXPECT_EQ(letters, 2);
    EXPECT_EQ(undecodable, (std::vector<std::string>{"\xFF", "\x80", "\xFF"}));
}

TEST_F(ListBoxTest, ItemsGiveBackTheirBytesAndShowReplacementsForUndecodableOnes)
{
    const std::string broken = "\x8D\xB2\x93";  // a lead byte cut off at the end
    m_list.AddString(broken);
    ASSERT_EQ(m_list.GetCount(), 1);
    EXPECT_EQ(m_list.GetText(0), broken);
    QCoreApplication::processEvents();
    const auto* view = static_cast<QListView*>(m_dialog.GetDlgItem(1007));
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QStringLiteral("佐\uFFFD"));
}

TEST_F(ListBoxTest, DeleteReturnsTheRemainingCountThenAnError)
{
    for (const char* name : {"a", "b", "c"})
        m_list.AddString(name);
    EXPECT_EQ(m_list.DeleteString(3), LB_ERR);
    EXPECT_EQ(m_list.DeleteString(-1), LB_ERR);
    EXPECT_EQ(m_list.DeleteString(1), 2);
    EXPECT_EQ(Items(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(m_list.DeleteString(0), 1);
    EXPECT_EQ(m_list.DeleteString(0), 0);
    EXPECT_EQ(m_list.DeleteString(0), LB_ERR);
    EXPECT_EQ(m_list.GetCount(), 0);
    EXPECT_EQ(m_list.GetText(0), "");
}

TEST_F(ListBoxTest, DeletingTheSelectedItemClearsTheSelectionAndOthersShiftIt)
{
    for (const char* name : {"a", "b", "c", "d"})
        m_list.AddString(name);
    m_list.SetCurSel(2);
    m_list.DeleteString(0);
    EXPECT_EQ(m_list.GetCurSel(), 1);
    EXPECT_EQ(m_list.GetText(1), "c");
    m_list.DeleteString(1);
    EXPECT_EQ(m_list.GetCurSel(), -1);
}

TEST_F(ListBoxTest, SelectionFollowsTheViewBothWays)
{
    for (const char* name : {"a", "b", "c"})
        m_list.AddString(name);
    QCoreApplication::processEvents();
    auto* view = static_cast<QListView*>(m_dialog.GetDlgItem(1007));
    m_list.SetCurSel(1);
    EXPECT_EQ(view->selectionModel()->selectedRows().value(0).row(), 1);
    view->selectionModel()->select(view->model()->index(2, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(m_list.GetCurSel(), 2);
    m_list.SetCurSel(-1);
    EXPECT_EQ(m_list.GetCurSel(), -1);
    EXPECT_TRUE(view->selectionModel()->selectedRows().isEmpty());
}

struct PrefixRow {
    const char* name;
    std::string prefix;
    int expected;
};

class SelectString : public ListBoxTest, public ::testing::WithParamInterface<PrefixRow> {};

TEST_P(SelectString, SelectsTheFirstItemBeginningWithThePrefix)
{
    // Rows name the expected item by its place in this list; its row in the
    // sorted list is read back by its text.
    for (const std::string& name : {std::string("TANAKA"), std::string("tanabe"), std::string("\x83\x61"),
                                    std::string("\x83\x41\x83\x43"), kSato})
        m_list.AddString(name);
    m_list.SetCurSel(0);
    const std::string before = m_list.GetText(0);
    const int found = m_list.SelectString(GetParam().prefix);
    if (GetParam().expected == LB_ERR) {
        EXPECT_EQ(found, LB_ERR);
        EXPECT_EQ(m_list.GetCurSel(), 0);
        return;
    }
    ASSERT_NE(found, LB_ERR);
    EXPECT_EQ(m_list.GetCurSel(), found);
    const std::vector<std::string> items = Items();
    // The expected item, by its text, and nothing earlier matches.
    const std::vector<std::string> names = {"TANAKA", "tanabe", "\x83\x61", "\x83\x41\x83\x43", kSato};
    EXPECT_EQ(items[static_cast<size_t>(found)], names[static_cast<size_t>(GetParam().expected)]);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SelectString,
    ::testing::Values(PrefixRow{"ExactCase", "TANAKA", 0}, PrefixRow{"OtherCase", "TaNaK", 0},
                      PrefixRow{"LowerMatchesUpper", "tanab", 1},
                      PrefixRow{"DoubleByte", "\x8D\xB2", 4},
                      // ア is 83 41 and ヂ is 83 61: folding a trail byte would
                      // wrongly match ヂ for ア.
                      PrefixRow{"TrailByteIsNotFolded", "\x83\x41", 3}, PrefixRow{"TrailByteOfOther", "\x83\x61", 2},
                      PrefixRow{"NoMatchKeepsTheSelection", "x", LB_ERR},
                      PrefixRow{"LongerThanEveryItem", "TANAKAS", LB_ERR}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListBoxTest, EmptyPrefixSelectsTheFirstItemAndAnEmptyListHasNone)
{
    EXPECT_EQ(m_list.SelectString(""), LB_ERR);
    m_list.AddString("b");
    m_list.AddString("a");
    EXPECT_EQ(m_list.SelectString(""), 0);
    EXPECT_EQ(m_list.GetText(m_list.GetCurSel()), "a");
}

TEST_F(ListBoxTest, ScrollBarIsAlwaysShownAndEnabledOnlyWhenItemsOverflow)
{
    auto* view = static_cast<QListView*>(m_dialog.GetDlgItem(1007));
    m_list.AddString("a");
    QTest::qWait(20);
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_FALSE(view->verticalScrollBar()->isEnabled());
    for (int i = 0; i < 100; ++i)
        m_list.AddString(std::to_string(i));
    QTest::qWait(20);
    EXPECT_TRUE(view->verticalScrollBar()->isEnabled());
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
    QCoreApplication::processEvents();
    const int found = m_list.SelectString("\x93\x63\x92\x86" "1");
    EXPECT_NE(found, LB_ERR);
    EXPECT_EQ(m_list.GetCurSel(), found);
    int remaining = 0;
    while ((remaining = m_list.DeleteString(0)) > 0) {
    }
    EXPECT_EQ(remaining, 0);
    EXPECT_EQ(m_list.GetCount(), 0);
    // Generous for a loaded machine; a quadratic step would take hours.
    EXPECT_LT(timer.elapsed(), 30000);
}

}  // namespace
