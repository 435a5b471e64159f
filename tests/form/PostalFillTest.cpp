// The postal code and address line 1 filling each other in, driven by key
// events on the real dialog, against Debian's postal code dictionary.
#include "DictionaryFiles.h"
#include "FormHarness.h"

#include <QAbstractItemView>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

class PostalFillTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(postal::SKK_GENERAL))
            GTEST_SKIP() << "skkdic-extra is not installed";
        // Nothing imported: Debian's data alone.
        ::setenv("XDG_DATA_HOME", (m_xdg.Path() / "data").c_str(), 1);
        m_form = std::make_unique<FormHarness>(KATO);
    }
    void TearDown() override { ::unsetenv("XDG_DATA_HOME"); }

    void TypeCode(const QString& zip1, const QString& zip2)
    {
        m_form->Type(IDC_ZIP1, zip1);
        m_form->Type(IDC_ZIP2, zip2);
    }
    // Line 1 typed, then the focus moves on to the e-mail edit.
    void TypeAddress(const QString& address)
    {
        m_form->Type(IDC_ADDRESS1, address);
        m_form->Type(IDC_EMAIL, "");
    }
    [[nodiscard]] QString Code() const { return m_form->Text(IDC_ZIP1) + "-" + m_form->Text(IDC_ZIP2); }

    TempWorkDir m_xdg;
    std::unique_ptr<FormHarness> m_form;
};

TEST_F(PostalFillTest, CodeFillsAnEmptyLineOneAndFollowsTheCode)
{
    TypeCode("100", "0005");
    EXPECT_EQ(m_form->Text(IDC_ADDRESS1), "東京都千代田区丸の内");
    TypeCode("100", "0006");  // line 1 still holds what the fill put there
    EXPECT_EQ(m_form->Text(IDC_ADDRESS1), "東京都千代田区有楽町");
    TypeCode("999", "9999");  // unknown: what is there stays
    EXPECT_EQ(m_form->Text(IDC_ADDRESS1), "東京都千代田区有楽町");
}

TEST_F(PostalFillTest, TypedAddressIsNeverReplaced)
{
    m_form->Type(IDC_ADDRESS1, "東京都千代田区丸の内");  // typed, though the fill would give the same
    TypeCode("100", "0006");
    EXPECT_EQ(m_form->Text(IDC_ADDRESS1), "東京都千代田区丸の内");

    m_form->Click(IDC_NEW);
    TypeCode("100", "0005");
    EXPECT_EQ(m_form->Text(IDC_ADDRESS1), "東京都千代田区丸の内");
    // 新規 makes the line the user's again, though it reads as the fill left it.
    m_form->Click(IDC_NEW);
    m_form->Type(IDC_ADDRESS1, "東京都千代田区丸の内");
    TypeCode("100", "0006");
    EXPECT_EQ(m_form->Text(IDC_ADDRESS1), "東京都千代田区丸の内");
}

TEST_F(PostalFillTest, SeveralAddressesAreOfferedInAList)
{
    TypeCode("498", "0000");
    EXPECT_EQ(m_form->Text(IDC_ADDRESS1), "");
    auto* list = qobject_cast<QAbstractItemView*>(QApplication::activePopupWidget());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->model()->rowCount(), 2);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(m_form->Text(IDC_ADDRESS1), "");

    TypeCode("498", "0000");
    list = qobject_cast<QAbstractItemView*>(QApplication::activePopupWidget());
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(m_form->Text(IDC_ADDRESS1), "三重県桑名郡木曽岬町");
    m_form->Click(IDC_NEW);  // the list gone with the person
    TypeAddress("千代田区丸の内1-1-1");
    EXPECT_EQ(Code(), "100-0005");
}

TEST_F(PostalFillTest, LeavingLineOneFillsEmptyCodeEditsWithTheOneCode)
{
    TypeAddress("千代田区丸の内1-1-1");
    EXPECT_EQ(Code(), "100-0005");

    const std::vector<std::pair<QString, QString>> cases{
        {"東京都港区芝浦", "two codes"},
        {"東京都千代田区", "a whole city"},
        {"東京都千代田区架空町", "a town the data lacks"},
    };
    for (const auto& [address, what] : cases) {
        m_form->Click(IDC_NEW);
        TypeAddress(address);
        EXPECT_EQ(Code(), "-") << what.toStdString();
    }
    m_form->Click(IDC_NEW);
    m_form->Type(IDC_ZIP1, "105");
    TypeAddress("千代田区丸の内");
    EXPECT_EQ(Code(), "105-") << "a code edit the user typed in";
}

}  // namespace
