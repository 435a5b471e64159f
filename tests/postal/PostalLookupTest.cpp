// Look-ups both ways against the dictionaries Debian's skkdic-extra ships.
#include "Dictionary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

struct Case {
    const char* what;
    const char* typed;
    Strings expected;
};

class DebianData : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(postal::SKK_GENERAL))
            GTEST_SKIP() << "skkdic-extra is not installed";
    }
    // No imported files: Debian's data alone.
    postal::Dictionary dictionary{postal::Sources{}};
};

TEST_F(DebianData, CodeGivesItsAddresses)
{
    const std::vector<Case> cases{
        {"one code", "1000005", {"東京都千代田区丸の内"}},
        {"with a hyphen", "100-0005", {"東京都千代田区丸の内"}},
        {"full width", "１００－０００５", {"東京都千代田区丸の内"}},
        {"two prefectures", "4980000", {"愛知県弥富市", "三重県桑名郡木曽岬町"}},
        {"business: the address after @", "0018501", {"北海道札幌市北区北二十九条西２丁目１番１号"}},
        {"a whole city", "0600000", {"北海道札幌市中央区"}},
        {"notes left out", "4506201", {"愛知県名古屋市中村区名駅ミッドランドスクエア高層棟"}},
        {"no such code", "9999999", {}},
        {"not a code", "100000", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dictionary.Addresses(c.typed), c.expected) << c.what;
}

TEST_F(DebianData, CodeForManyTowns)
{
    const Strings addresses = dictionary.Addresses("4520961");
    EXPECT_EQ(addresses.size(), 66u);
    for (const std::string& address : addresses)
        EXPECT_TRUE(address.starts_with("愛知県清須市")) << address;
}

TEST_F(DebianData, AddressGivesTheCodeOfItsTown)
{
    const std::vector<Case> cases{
        {"town and block", "東京都千代田区丸の内1-1-1", {"1000005"}},
        {"full-width digits and dashes", "東京都千代田区丸の内１－１－１", {"1000005"}},
        {"spaces", "東京都 千代田区　丸の内", {"1000005"}},
        {"prefecture missing", "千代田区丸の内1-1-1", {"1000005"}},
        {"ケ for ヶ", "東京都青ケ島村", {"1001701"}},
        {"ヶ for が", "北海道札幌市北区百合ヶ原", {"0028081"}},
        {"の for 之", "秋田県由利本荘市矢島町坂の下", {"0150416"}},
        {"number before 線", "北海道上川郡東神楽町東1線", {"0711561"}},
        {"number before 丁目", "岩手県花巻市12丁目3番", {"0250022"}},
        {"number before 条, two codes", "札幌市北区北10条西", {"0010010", "0600810"}},
        {"大字 dropped", "北海道石狩郡当別町大字ビトエ", {"0028089", "0613775"}},
        {"字 dropped", "北海道石狩郡当別町字ビトエ", {"0028089", "0613775"}},
        {"one town, two codes", "東京都港区芝浦", {"1050023", "1080023"}},
        {"a whole city only", "東京都千代田区", {}},
        {"a city and a town the data lacks", "東京都千代田区架空町1-1", {}},
        {"same text as a whole city", "長野県岡谷市", {}},
        {"city-wide note", "山梨県北都留郡小菅村", {}},
        {"city without prefecture", "府中市", {}},
        {"nothing", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dictionary.Codes(c.typed), c.expected) << c.what;
}

TEST_F(DebianData, BusinessCodeIsNeverTheAnswer)
{
    const Strings codes = dictionary.Codes("北海道札幌市北区北二十九条西２丁目１番１号");
    EXPECT_EQ(codes, Strings{"0010029"});  // the town's, not the school's 0018501
}

TEST(NoDictionary, AnswersNothing)
{
    const postal::Dictionary empty{postal::Sources{"/nonexistent/a", "/nonexistent/b", {}}};
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_TRUE(empty.Addresses("1000005").empty());
    EXPECT_TRUE(empty.Codes("東京都千代田区丸の内").empty());
}

}  // namespace
