// 登録, 新規 and 削除: what lands in the file, byte for byte, and what the
// user is told.
#include "FormHarness.h"

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

namespace {

const QString kRequired = QStringLiteral("必須項目が抜けています");
const QString kDuplicate = QStringLiteral("テーブル変更はまだサポートしていません m(__)m");
const QString kFailed = QStringLiteral("レコード登録に失敗しました");

const std::string kExisting = Person{1, "かとう", "加藤"}.Line();

void EnterPerson(FormHarness& form, const QString& name, const QString& reading)
{
    form.Click(3);  // 新規
    form.Type(1021, name);
    form.Type(1022, reading);
}

TEST(Register, NewPersonLandsAsOneLineWithCrLf)
{
    FormHarness form(kExisting);
    EnterPerson(form, QStringLiteral("山田太郎"), QStringLiteral("やまだたろう"));
    form.Click(1024);  // 女
    form.Click(1030);  // O
    form.Type(1027, QStringLiteral("東京都千代田区1〜3丁目"));
    form.Type(1047, "1985");
    form.Type(1048, "7");
    form.Type(1049, "14");
    form.Click(1041);  // 携帯
    form.Type(1032, "090");
    form.Type(1034, "1234");
    form.Type(1036, "5678");
    form.Click(1);     // 登録

    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.FileBytes(), kExisting + Sjis("7,やまだたろう,山田太郎,東京都千代田区1～3丁目,,1985,7,14,2,,,,1,"
                                                 "*,*,*,090,1234,5678,*,*,*,*,*,*\r\n"));
    const auto items = form.ListItems();
    EXPECT_NE(std::find(items.begin(), items.end(), QStringLiteral("山田太郎")), items.end());
}

struct RefusalCase {
    const char* what;
    QString name, reading;
    QString message;
};

// Test names show the case, not its bytes.
void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.what; }

class RegisterRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RegisterRefusal, AppendsNothing)
{
    const RefusalCase& c = GetParam();
    FormHarness form(kExisting);
    EnterPerson(form, c.name, c.reading);
    form.Click(1);
    EXPECT_EQ(form.Messages(), QStringList{c.message}) << c.what;
    EXPECT_EQ(form.FileBytes(), kExisting) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Checks, RegisterRefusal,
    ::testing::Values(RefusalCase{"no reading", QStringLiteral("山田"), "", kRequired},
                      RefusalCase{"no name", "", QStringLiteral("やまだ"), kRequired},
                      RefusalCase{"new form left empty", "", "", kRequired},
                      RefusalCase{"name already in the file", QStringLiteral("加藤"), QStringLiteral("かとう"),
                                  kDuplicate}));

TEST(Register, NearDuplicatesAreNewPeople)
{
    FormHarness form(kExisting);
    for (const QString& name : {QStringLiteral("加藤 "), QStringLiteral("加籐")}) {
        EnterPerson(form, name, QStringLiteral("かとう"));
        form.Click(1);
    }
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.ListItems().size(), 3u);
}

TEST(Register, SecondPressReportsTheNameAsPresent)
{
    FormHarness form(kExisting);
    EnterPerson(form, QStringLiteral("山田"), QStringLiteral("やまだ"));
    form.Click(1);
    form.Click(1);
    EXPECT_EQ(form.Messages(), QStringList{kDuplicate});
}

TEST(Register, DayWithLettersStopsWithFocusOnTheDay)
{
    FormHarness form(kExisting);
    EnterPerson(form, QStringLiteral("山田"), QStringLiteral("やまだ"));
    form.SetText(1049, "1a");
    form.Click(1);
    EXPECT_EQ(form.Messages(), QStringList{QStringLiteral("正の整数を入力してください。")});
    EXPECT_EQ(form.FocusId(), 1049);
    EXPECT_EQ(form.FileBytes(), kExisting);
}

TEST(Register, PhonePartsAndMissingKinds)
{
    FormHarness form(kExisting);
    EnterPerson(form, QStringLiteral("山田"), QStringLiteral("やまだ"));
    form.Click(1041);  // 携帯, only the first part typed
    form.Type(1032, "090");
    form.Click(1);
    EnterPerson(form, QStringLiteral("中田"), QStringLiteral("なかた"));
    form.Click(1);     // no kind chosen
    const std::string file = form.FileBytes();
    EXPECT_NE(file.find(",*,*,*,090,,,*,*,*,*,*,*\r\n"), std::string::npos);
    EXPECT_NE(file.find(Sjis("中田")), std::string::npos);
    EXPECT_TRUE(file.ends_with(",*,*,*,*,*,*,*,*,*,*,*,*\r\n"));
}

TEST(Register, FilteredListStillGetsTheName)
{
    FormHarness form(kExisting);
    form.Click(1020);  // あ: 加藤 leaves the list
    EXPECT_TRUE(form.ListItems().empty());
    EnterPerson(form, QStringLiteral("山田"), QStringLiteral("やまだ"));
    form.Click(1);
    EXPECT_EQ(form.ListItems(), QStringList{QStringLiteral("山田")});
}

TEST(Register, FirstPersonOfAnEmptyFile)
{
    FormHarness form("# my address book\r\n");
    EnterPerson(form, QStringLiteral("青木"), QStringLiteral("あおき"));
    form.Click(1);
    EXPECT_TRUE(form.Messages().empty());
    EXPECT_EQ(form.FileBytes(), "# my address book\r\n" + Sjis("0,あおき,青木,,,1970,1,1,-1,,,,1,*,*,*,*,*,*,*,*,*,*,*,*\r\n"));
}

TEST(Register, RefusedBehindAMalformedLine)
{
    const std::string file = kExisting + "\r\n";  // an editor left an empty line
    FormHarness form(file);
    EnterPerson(form, QStringLiteral("山田"), QStringLiteral("やまだ"));
    form.Click(1);
    EXPECT_EQ(form.Messages(), QStringList{QStringLiteral(
                                   "AddressTable.csv の 2 行目の形式が正しくないため（空行です）、それ以降のデータを読み込めません")});
    EXPECT_EQ(form.FileBytes(), file);
}

// The file may not grow past its present size: the scan for duplicates
// reads it as usual, the append fails.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
};

TEST(Register, FailedAppendSaysSoAndListsNothing)
{
    FormHarness form(kExisting);
    const auto before = form.ListItems();
    EnterPerson(form, QStringLiteral("山田"), QStringLiteral("やまだ"));
    {
        const FileSizeLimit limit(kExisting.size());
        form.Click(1);
    }
    EXPECT_EQ(form.Messages(), QStringList{kFailed});
    EXPECT_EQ(form.ListItems(), before);
    EXPECT_EQ(form.FileBytes(), kExisting);
}

TEST(Register, AddressTooLongForTheFileIsRefused)
{
    FormHarness form(kExisting);
    EnterPerson(form, QStringLiteral("山田"), QStringLiteral("やまだ"));
    form.SetText(1028, QString(256, QLatin1Char('x')));
    form.Click(1);
    EXPECT_EQ(form.Messages(), QStringList{QStringLiteral("「住所」が長すぎます。255 バイト以内で入力してください")});
    EXPECT_EQ(form.FocusId(), 1028);
    EXPECT_EQ(form.FileBytes(), kExisting);
}

TEST(Delete, OnlySaysItIsNotSupported)
{
    FormHarness form(kExisting);
    form.Click(4);
    EXPECT_EQ(form.Messages(), QStringList{QStringLiteral("テーブル削除はまだサポートしていません m(__)m")});
    EXPECT_EQ(form.FileBytes(), kExisting);
}

TEST(Register, RegisteredPersonIsListedAfterARestart)
{
    std::string file;
    {
        FormHarness form(kExisting);
        EnterPerson(form, QStringLiteral("アリス"), QStringLiteral("ありす"));
        form.Click(1);
        file = form.FileBytes();
    }
    FormHarness restarted(file);
    restarted.Click(1020);  // あ
    EXPECT_EQ(restarted.ListItems(), QStringList{QStringLiteral("アリス")});
}

}  // namespace
