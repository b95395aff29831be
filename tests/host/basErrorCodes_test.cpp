#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "services/basErrorCodes.h"

using basErrorCodes::GetErrorText;

namespace {

// ---- against the list the table is generated from --------------------------

struct Row {
    std::int64_t code;
    std::string text;
};

class ErrorTextListTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream in(HALCYRA_ERROR_TEXTS_TSV, std::ios::binary);
        if (!in) GTEST_SKIP() << "error-text list not found at " << HALCYRA_ERROR_TEXTS_TSV;
        std::stringstream all;
        all << in.rdbuf();
        const std::string data = all.str();
        // One row per line, code TAB text; the text runs to the line end untouched.
        std::size_t pos = 0;
        while (pos < data.size()) {
            std::size_t end = data.find('\n', pos);
            if (end == std::string::npos) end = data.size();
            const std::string line = data.substr(pos, end - pos);
            pos = end + 1;
            const std::size_t tab = line.find('\t');
            ASSERT_NE(tab, std::string::npos) << "row without TAB: " << line;
            rows.push_back({std::stoll(line.substr(0, tab)), line.substr(tab + 1)});
        }
    }
    std::vector<Row> rows;
};

TEST_F(ErrorTextListTest, EveryRowGivesExactlyItsText) {
    for (const Row& r : rows) EXPECT_EQ(GetErrorText(r.code), r.text) << "code " << r.code;
}

TEST_F(ErrorTextListTest, TableHoldsAsManyEntriesAsTheListHasRows) {
    EXPECT_EQ(rows.size(), 677u);
    EXPECT_EQ(basErrorCodes::AllErrorTexts().size(), rows.size());
}

// ---- independent of the list ------------------------------------------------

TEST(ErrorTextTest, TellingRows) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "The operation completed successfully."},
        {1, "Incorrect function."},
        {2, "The system cannot find the file specified."},
        {5, "Access is denied."},
        {32, "The process cannot access the file becauseit is being used by another process."},
        {83, "Fail on INT 24"},
        {87, "The parameter is incorrect."},
        {112, "There is not enough space on the disk."},
        {191, "Cannot run %1 in Windows NT mode."},
        {317, "The system cannot find message for message number 0x%1in message file for %2."},
        {1051, "A stop control has been sent to a service which other running servicesare dependent on."},
        {1053, "The service did not respond to the start or control request in a timelyfashion."},
        {1061, "The service cannot accept control messages at this time."},
        {1062, "The service has not been started."},
        {1115, "A system shutdown is in progress."},
        {1223, "The operation was cancelled by the user."},
        {1326, "Logon failure: unknown user name or bad password."},
        {1424, "Height must be less than 256#"},
        {3010, "The requested operation is successful.  Changes will not be effective until the system is rebooted."},
        {4006, "Replication with a non-configured partner is not allowed."},
        {6118, "The list of servers for this workgroup is not currently available"},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(GetErrorText(code), text) << "code " << code;
}

TEST(ErrorTextTest, SharedTexts) {
    for (int code : {182, 188, 189, 190, 192, 194, 195, 198, 201, 202})
        EXPECT_EQ(GetErrorText(code), "The operating system cannot run %1.") << "code " << code;
    for (int code : {196, 199})
        EXPECT_EQ(GetErrorText(code), "The operating system cannot run thisapplication program.") << "code " << code;
    for (int code : {1450, 1451, 1452})
        EXPECT_EQ(GetErrorText(code), "Insufficient system resources exist to complete the requested service.")
            << "code " << code;
    for (int code : {1453, 1454})
        EXPECT_EQ(GetErrorText(code), "Insufficient quota to complete the requested service.") << "code " << code;
    // Neighbours in the same block keep texts of their own.
    for (int code : {191, 193, 197, 200})
        EXPECT_NE(GetErrorText(code), "The operating system cannot run %1.") << "code " << code;
}

TEST(ErrorTextTest, TextsWithoutFullStopStayThatWay) {
    for (int code : {83, 1052, 1391, 1424, 1903, 1904, 1905, 1906, 6118}) {
        const std::string text = GetErrorText(code);
        ASSERT_FALSE(text.empty()) << "code " << code;
        EXPECT_NE(text.back(), '.') << "code " << code;
    }
}

TEST(ErrorTextTest, CodesWithoutEntryGiveEmpty) {
    const std::int64_t codes[] = {35, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 163, 2403, 6119, 100000, -1, -5,
                                  INT32_MIN, INT32_MAX,
                                  // exit codes of crashed programs, taken as unsigned
                                  0xC0000005, 0xFFFFFFFF};
    for (std::int64_t code : codes) EXPECT_EQ(GetErrorText(code), "") << "code " << code;
}

// ---- which codes have an entry ----------------------------------------------

struct Range {
    int first, last;
};

constexpr Range kWithEntry[] = {
    {0, 34},      {36, 36},     {38, 39},     {50, 72},     {80, 80},     {82, 89},     {100, 114},
    {117, 162},   {164, 164},   {167, 167},   {170, 170},   {173, 174},   {180, 180},   {182, 183},
    {186, 203},   {205, 210},   {212, 212},   {214, 216},   {230, 234},   {240, 240},   {254, 255},
    {259, 259},   {266, 267},   {275, 278},   {282, 282},   {288, 288},   {298, 299},   {317, 317},
    {487, 487},   {534, 536},   {994, 999},   {1001, 1022}, {1051, 1079}, {1100, 1132}, {1140, 1142},
    {1150, 1157}, {1200, 1248}, {1300, 1338}, {1340, 1395}, {1400, 1460}, {1500, 1503}, {1700, 1728},
    {1730, 1730}, {1732, 1737}, {1739, 1775}, {1777, 1832}, {1898, 1913}, {2000, 2005}, {2202, 2202},
    {2250, 2250}, {2401, 2402}, {2404, 2404}, {3000, 3011}, {4000, 4006}, {6118, 6118},
};

std::set<int> CodesWithEntry() {
    std::set<int> codes;
    for (Range r : kWithEntry)
        for (int c = r.first; c <= r.last; ++c) codes.insert(c);
    return codes;
}

TEST(ErrorTextRangesTest, EveryCodeInTheRangesHasText) {
    const std::set<int> codes = CodesWithEntry();
    for (int c : codes) EXPECT_NE(GetErrorText(c), "") << "code " << c;
    // Together with the line above: the table holds these codes and no other.
    EXPECT_EQ(codes.size(), 677u);
    EXPECT_EQ(basErrorCodes::AllErrorTexts().size(), codes.size());
}

TEST(ErrorTextRangesTest, CodesJustOutsideTheRangesGiveEmpty) {
    const std::set<int> codes = CodesWithEntry();
    int checked = 0;
    for (Range r : kWithEntry) {
        for (int c : {r.first - 1, r.last + 1}) {
            if (codes.count(c)) continue;  // the next range starts there
            EXPECT_EQ(GetErrorText(c), "") << "code " << c;
            ++checked;
        }
    }
    EXPECT_GT(checked, 80);
}

}  // namespace
