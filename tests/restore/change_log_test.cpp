// Reading the change log: field values, the six lines of a record and the block of one point.
#include "restore/ChangeLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string example = "RPDir=RP5,Drive=C:\\,EventString=X,Path1=a=b,Path2=,Temp=t";

TEST(ChangeLog, FieldValuesFollowTheFirstEqualsSignAfterTheKey) {
    struct Case {
        std::string line, key, value;
    };
    const std::vector<Case> cases = {
        {example, "RPDir", "RP5"},
        {example, "Drive", "C:\\"},
        {example, "Path1", "a=b"}, // once the value has started, "=" belongs to it
        {example, "Path2", ""},
        {example, "Temp", "t"},
        // "Temp" first occurs inside Path1: the "," ending Path1 comes before any "=".
        {"RPDir=RP5,Path1=C:\\Temp\\a.txt,Path2=,Temp=t", "Temp", ""},
        // ... unless it starts the value: the character before it is "=".
        {"RPDir=RP5,Path1=Temp\\a.txt,Temp=t", "Temp", "Temp\\a.txt"},
        {"RPDir=RP5,Drive=C:\\", "Missing", "RP5"}, // the first field's value
        {"RPDir= RP5 ,Drive=C:", "RPDir", " RP5 "}, // blanks stay
        {"RPDir,Drive=C:", "RPDir", ""},
        {"RPDir=RP5,Temp=", "Temp", ""},
        {"RPDir=RP5,Temp", "Temp", ""},
        {"", "RPDir", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(restore::fieldValue(c.line, c.key), c.value) << c.line << " / " << c.key;
}

TEST(ChangeLog, ARecordGivesSixLinesConvertedFromWindows1252) {
    EXPECT_EQ(
        restore::recordLines(example),
        (std::vector<std::string>{"", "- C:\\", "EventString = X", "Path1 = a=b", "Path2 = ", "Temp = t"}));
    EXPECT_EQ(restore::recordLines("RPDir=RP5,Drive=D:\\,EventString=FILE-RENAME,Path1=\\R\xe9sum\xe9.doc,"
                                   "Path2=\\CV.doc,Temp=A0001.doc"),
              (std::vector<std::string>{"", "- D:\\", "EventString = FILE-RENAME", "Path1 = \\Résumé.doc",
                                        "Path2 = \\CV.doc", "Temp = A0001.doc"}));
}

std::vector<std::string> listed(const std::string& log, const std::string& folder) {
    std::vector<std::string> records;
    restore::scanChangeLog(log, folder, [&](std::string_view record) {
        records.emplace_back(record);
        return true;
    });
    return records;
}

TEST(ChangeLog, OnlyTheFirstBlockOfThePointIsListed) {
    struct Case {
        const char* what;
        std::string log, folder;
        std::vector<std::string> records;
    };
    const std::vector<Case> cases = {
        {"RP12 is not RP1",
         "RPDir=RP12,a=1\r\nRPDir=RP1,a=2\r\nRPDir=RP12,a=3\r\n",
         "RP1",
         {"RPDir=RP1,a=2"}},
        {"a later block is not listed",
         "RPDir=RP1,a=1\r\nRPDir=RP1,a=2\r\nRPDir=RP2,a=3\r\nRPDir=RP1,a=4\r\n",
         "RP1",
         {"RPDir=RP1,a=1", "RPDir=RP1,a=2"}},
        {"lines without RPDir never end the block",
         "Header\r\nRPDir=RP1,a=1\r\n\r\nnote\r\nRPDir=RP1,a=2\r\nRPDir=RP3,a=3\r\n",
         "RP1",
         {"RPDir=RP1,a=1", "RPDir=RP1,a=2"}},
        {"LF, CR and a last line without an end",
         "RPDir=RP1,a=1\nRPDir=RP1,a=2\rRPDir=RP1,a=3",
         "RP1",
         {"RPDir=RP1,a=1", "RPDir=RP1,a=2", "RPDir=RP1,a=3"}},
        {"the key may stand anywhere in the line",
         "x RPDir=RP1,a=1\r\nDrive=C:\\,RPDir=RP1,a=2\r\n",
         "RP1",
         {"x RPDir=RP1,a=1", "Drive=C:\\,RPDir=RP1,a=2"}},
        {"case counts", "rpdir=RP1,a=1\r\nRPDir=rp1,a=2\r\n", "RP1", {}},
        {"no record of the point", "RPDir=RP2,a=1\r\n", "RP1", {}},
        {"an empty log", "", "RP1", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listed(c.log, c.folder), c.records) << c.what;
}

TEST(ChangeLog, TheScanStopsWhenAsked) {
    int calls = 0;
    restore::scanChangeLog("RPDir=RP1\r\nRPDir=RP1\r\nRPDir=RP1\r\n", "RP1",
                           [&](std::string_view) { return ++calls < 2; });
    EXPECT_EQ(calls, 2);
}

} // namespace
