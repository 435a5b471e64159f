// kanaroku-zip import on made-up files in each of Japan Post's formats, as
// CSV and as zip, then look-ups through the same binary; a malformed file
// leaves the dictionary as it was.
#include "DictionaryFiles.h"
#include "SjisCodec.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each quirk once: a whole city, notes, one code for two towns and for two
// prefectures, a city-wide …の次に番地がくる場合, a 町域 split over two rows.
constexpr const char* TOWN_ROWS =
    "13999,\"999  "
    "\",\"9990000\",\"ﾄｳｷｮｳﾄ\",\"ｶｸｳｼ\",\"ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ\",\"東京都\",\"架空市\",\"以下に掲載がない場合\",0,0,0,0,0,"
    "0\r\n"
    "13999,\"999  "
    "\",\"9990001\",\"ﾄｳｷｮｳﾄ\",\"ｶｸｳｼ\",\"ﾎﾝﾁｮｳ\",\"東京都\",\"架空市\",\"本町（次のビルを除く）\",0,0,0,0,0,0\r\n"
    "13999,\"999  \",\"9990003\",\"ﾄｳｷｮｳﾄ\",\"ｶｸｳｼ\",\"ｱｻﾋﾏﾁ\",\"東京都\",\"架空市\",\"旭町\",0,0,0,1,0,0\r\n"
    "13999,\"999  \",\"9990003\",\"ﾄｳｷｮｳﾄ\",\"ｶｸｳｼ\",\"ﾐﾄﾞﾘﾏﾁ\",\"東京都\",\"架空市\",\"緑町\",0,0,0,1,0,0\r\n"
    "13999,\"999  \",\"9990004\",\"ﾄｳｷｮｳﾄ\",\"ｶｸｳｼ\",\"ｻｶｲﾏﾁ\",\"東京都\",\"架空市\",\"境町\",0,0,0,0,0,0\r\n"
    "11999,\"999  \",\"9990004\",\"ｻｲﾀﾏｹﾝ\",\"ｶｿｳｼ\",\"ｻｶｲﾏﾁ\",\"埼玉県\",\"仮想市\",\"境町\",0,0,0,0,0,0\r\n"
    "13998,\"999  "
    "\",\"9990005\",\"ﾄｳｷｮｳﾄ\",\"ｶｸｳﾑﾗ\",\"\",\"東京都\",\"架空村\",\"架空村の次に１～１００番地がくる場合\",0,0,0,0,0,"
    "0\r\n"
    "13999,\"999  "
    "\",\"9990006\",\"ﾄｳｷｮｳﾄ\",\"ｶｸｳｼ\",\"ｵｵﾄﾞｵﾘ\",\"東京都\",\"架空市\",\"大通（西１～５丁目、\",1,0,1,0,0,0\r\n"
    "13999,\"999  "
    "\",\"9990006\",\"ﾄｳｷｮｳﾄ\",\"ｶｸｳｼ\",\"ｵｵﾄﾞｵﾘ\",\"東京都\",\"架空市\",\"東１～３丁目）\",1,0,1,0,0,0\r\n";

constexpr const char* BUSINESS_ROWS =
    "13999,\"ｶｸｳｼｮｳｼﾞ\",\"架空商事　株式会社\",\"東京都\",\"架空市\",\"本町\",\"１－２－３\",\"9998501\",\"999  "
    "\",\"架空\",0,0,0\r\n";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class Import : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_DATA_HOME", (m_dir.Path() / "data").c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_DATA_HOME"); }

    Outcome Zip(const std::string& argument) const
    {
        const fs::path out = m_dir.Path() / "out", err = m_dir.Path() / "err";
        const std::string command =
            std::string(KANAROKU_ZIP_CLI) + " " + argument + " >" + out.string() + " 2>" + err.string();
        const int status = std::system(command.c_str());
        return {WEXITSTATUS(status), ReadFileBytes(out), ReadFileBytes(err)};
    }
    fs::path Write(const std::string& name, const std::string& bytes) const
    {
        WriteFileBytes(m_dir.Path() / name, bytes);
        return m_dir.Path() / name;
    }
    // A zip as Japan Post publishes it: the one CSV inside.
    fs::path WriteZip(const std::string& name, const std::string& member, const std::string& bytes) const
    {
        const fs::path path = m_dir.Path() / name;
        int error = 0;
        zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        EXPECT_GE(zip_file_add(archive, member.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
        EXPECT_EQ(zip_close(archive), 0);
        return path;
    }
    fs::path Imported(const char* name) const { return m_dir.Path() / "data" / "kanaroku" / name; }

    TempWorkDir m_dir;
};

std::string ShiftJis(const std::string& utf8)
{
    return sjis::EncodeFromUtf8(utf8).value();
}

struct Format {
    const char* name;
    bool zip;
};

TEST_F(Import, EachFormatAsCsvAndZip)
{
    const std::vector<std::pair<std::string, std::string>> towns{{"utf_ken_all", TOWN_ROWS},
                                                                 {"ken_all", ShiftJis(TOWN_ROWS)}};
    for (const auto& [name, bytes] : towns) {
        for (const bool zip : {false, true}) {
            SCOPED_TRACE(name + (zip ? ".zip" : ".csv"));
            const fs::path file = zip ? WriteZip(name + ".zip", name + ".csv", bytes) : Write(name + ".csv", bytes);
            const Outcome run = Zip("import " + file.string());
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_NE(run.out.find("住所の郵便番号 8 件"), std::string::npos) << run.out;
            EXPECT_EQ(Zip("9990000").out, "東京都架空市\n");
            EXPECT_EQ(Zip("9990001").out, "東京都架空市本町\n");
            EXPECT_EQ(Zip("9990003").out, "東京都架空市旭町\n東京都架空市緑町\n");
            EXPECT_EQ(Zip("9990004").out, "東京都架空市境町\n埼玉県仮想市境町\n");
            EXPECT_EQ(Zip("9990005").out, "東京都架空村\n");
            EXPECT_EQ(Zip("9990006").out, "東京都架空市大通\n");
            EXPECT_EQ(Zip("架空市本町1-2").out, "999-0001\n");
            EXPECT_EQ(Zip("東京都架空市境町").out, "999-0004\n");
            EXPECT_EQ(Zip("東京都架空市").status, 1);
            EXPECT_EQ(Zip("東京都架空村1").status, 1);
            // The imported towns replace Debian's; Debian's businesses stay.
            EXPECT_EQ(Zip("1000005").status, 1);
            if (fs::exists(postal::SKK_OFFICE)) {
                EXPECT_EQ(Zip("0018501").status, 0);
            }
        }
    }
    for (const bool zip : {false, true}) {
        const std::string bytes = ShiftJis(BUSINESS_ROWS);
        const fs::path file = zip ? WriteZip("jigyosyo.zip", "JIGYOSYO.CSV", bytes) : Write("JIGYOSYO.CSV", bytes);
        ASSERT_EQ(Zip("import " + file.string()).status, 0);
        EXPECT_EQ(Zip("9998501").out, "東京都架空市本町１－２－３\n");
        EXPECT_EQ(Zip("東京都架空市本町１－２－３").out, "999-0001\n");  // the town's code, not the business's
    }
}

TEST_F(Import, MalformedFileLeavesTheDictionaryAsItWas)
{
    ASSERT_EQ(Zip("import " + Write("good.csv", TOWN_ROWS).string()).status, 0);
    const std::string before = ReadFileBytes(Imported(postal::IMPORTED_GENERAL));
    const std::string good = ShiftJis(TOWN_ROWS);
    const std::string zip = ReadFileBytes(WriteZip("whole.zip", "KEN_ALL.CSV", good));
    const std::vector<std::pair<std::string, std::string>> files{
        {"列の数", good + "1,2,3\r\n"},
        {"7 桁の数字",
         "13999,\"999  \",\"99900A1\",\"ﾄｳｷｮｳﾄ\",\"ｶｸｳｼ\",\"\",\"東京都\",\"架空市\",\"本町\",0,0,0,0,0,0\r\n"},
        {"住所ではありません",
         "13999,\"999  \",\"9990001\",\"ﾄｳｷｮｳﾄ\",\"ｶｸｳｼ\",\"\",\"架空県\",\"架空市\",\"本町\",0,0,0,0,0,0\r\n"},
        {"一つもありません", ""},
        {"読めない文字", good + "\x81\r\n"},
        {"zip ファイル", zip.substr(0, zip.size() / 2)},
    };
    for (const auto& [message, bytes] : files) {
        const Outcome run = Zip("import " + Write("bad.csv", bytes).string());
        EXPECT_EQ(run.status, 1) << message;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("辞書は変わっていません"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFileBytes(Imported(postal::IMPORTED_GENERAL)), before) << message;
    }
    const Outcome noCsv = Zip("import " + WriteZip("empty.zip", "readme.txt", "x").string());
    EXPECT_EQ(noCsv.status, 1);
    EXPECT_NE(noCsv.err.find("CSV ファイルがありません"), std::string::npos) << noCsv.err;
    EXPECT_EQ(fs::directory_iterator(Imported(postal::IMPORTED_GENERAL).parent_path())->path().filename(),
              postal::IMPORTED_GENERAL);  // no temporary file left behind
}

TEST_F(Import, ExitStatusForWrongUsage)
{
    for (const char* arguments : {"", "import", "1 2", "12345", "''"})
        EXPECT_EQ(Zip(arguments).status, 2) << arguments;
}

}  // namespace
