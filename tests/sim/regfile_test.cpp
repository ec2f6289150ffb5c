#include "platform/Error.h"
#include "platform/sim/RegFile.h"

#include <gtest/gtest.h>

using platform::RegType;
using platform::RegValue;
using platform::sim::RegFile;
using platform::sim::RegKeyData;

// Windows-1252 bytes are written as octal escapes: \347 is ç, \351 is é, \311 is É.
namespace {

const std::string kSr = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\sr";

RegValue value(RegType type, const std::string& data) {
    return RegValue{type, data};
}

const RegValue* find(const RegFile& file, const std::string& key, const std::string& name) {
    const RegKeyData* data = file.find(key);
    if (!data)
        return nullptr;
    for (const auto& [valueName, v] : data->values)
        if (valueName == name)
            return &v;
    return nullptr;
}

void expectSame(const RegFile& a, const RegFile& b) {
    ASSERT_EQ(a.keys().size(), b.keys().size());
    for (std::size_t k = 0; k < a.keys().size(); ++k) {
        const RegKeyData& x = a.keys()[k];
        const RegKeyData& y = b.keys()[k];
        EXPECT_EQ(x.path, y.path);
        ASSERT_EQ(x.values.size(), y.values.size()) << x.path;
        for (std::size_t i = 0; i < x.values.size(); ++i) {
            EXPECT_EQ(x.values[i].first, y.values[i].first) << x.path;
            EXPECT_EQ(x.values[i].second.type, y.values[i].second.type) << x.values[i].first;
            EXPECT_EQ(x.values[i].second.data, y.values[i].second.data) << x.values[i].first;
        }
    }
}

std::string parseError(const std::string& text) {
    try {
        RegFile::parse(text, "registry.reg");
    } catch (const platform::Error& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(RegFile, ReadsEveryValueForm) {
    const std::string text = "REGEDIT4\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\sr]\r\n"
                             "\"Start\"=dword:0000005a\r\n"
                             "@=\"default \\\"quoted\\\" C:\\\\\"\r\n"
                             "\"Multi\"=hex(7):61,00,62,00,00\r\n"
                             "\"Bin\"=hex:01,ff,\\\r\n"
                             "  10\r\n"
                             "\"Path\"=hex(2):25,00\r\n"
                             "\"Desc\"=\"Cr\351er\"\r\n";
    const RegFile file = RegFile::parse(text, "registry.reg");
    ASSERT_EQ(file.keys().size(), 1u);
    EXPECT_EQ(find(file, kSr, "Start")->data, std::string("\x5a\0\0\0", 4));
    EXPECT_EQ(find(file, kSr, "Start")->type, RegType::Dword);
    EXPECT_EQ(find(file, kSr, "")->data, std::string("default \"quoted\" C:\\\0", 21));
    EXPECT_EQ(find(file, kSr, "Multi")->type, RegType::MultiSz);
    EXPECT_EQ(find(file, kSr, "Multi")->data, std::string("a\0b\0\0", 5));
    EXPECT_EQ(find(file, kSr, "Bin")->type, RegType::Binary);
    EXPECT_EQ(find(file, kSr, "Bin")->data, "\x01\xff\x10");
    EXPECT_EQ(find(file, kSr, "Path")->type, RegType::ExpandSz);
    // String data stays in Windows-1252 bytes; names and paths are UTF-8.
    EXPECT_EQ(find(file, kSr, "Desc")->data, std::string("Cr\351er\0", 6));
}

TEST(RegFile, AcceptsLfLineEndsCommentsAndBlanks) {
    const RegFile file = RegFile::parse(
        "REGEDIT4\n; comment\n\n  [HKEY_CLASSES_ROOT\\.htc]  \n@=\"htcfile\"\n", "registry.reg");
    ASSERT_NE(find(file, "HKEY_CLASSES_ROOT\\.htc", ""), nullptr);
    EXPECT_EQ(find(file, "HKEY_CLASSES_ROOT\\.htc", "")->data, std::string("htcfile\0", 8));
}

TEST(RegFile, WritesRegedit4WithCrlfAndABlankLineAfterEachKey) {
    RegFile file;
    platform::sim::setValue(file.create(kSr), "Start", platform::reg::dword(0x5a));
    platform::sim::setValue(file.create("HKEY_CLASSES_ROOT\\.htc"), "", platform::reg::sz("htcfile"));
    EXPECT_EQ(file.serialize(), "REGEDIT4\r\n\r\n"
                                "[HKEY_LOCAL_MACHINE]\r\n\r\n"
                                "[HKEY_LOCAL_MACHINE\\SYSTEM]\r\n\r\n"
                                "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet]\r\n\r\n"
                                "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services]\r\n\r\n"
                                "[" +
                                    kSr +
                                    "]\r\n\"Start\"=dword:0000005a\r\n\r\n"
                                    "[HKEY_CLASSES_ROOT]\r\n\r\n"
                                    "[HKEY_CLASSES_ROOT\\.htc]\r\n@=\"htcfile\"\r\n\r\n");
}

TEST(RegFile, EveryValueTypeSurvivesARoundTrip) {
    RegFile file;
    RegKeyData& key = file.create("HKEY_LOCAL_MACHINE\\SOFTWARE\\Éditeur \"x\"\\Sous-clé");
    std::string longBinary;
    for (int i = 0; i < 300; ++i)
        longBinary += static_cast<char>(i);
    const std::vector<std::pair<std::string, RegValue>> values = {
        {"", platform::reg::sz("défaut")},
        {"Plain", platform::reg::sz("C:\\WINDOWS\\ \"quoted\" €")},
        {"Empty", platform::reg::sz("")},
        {"InnerZero", value(RegType::Sz, std::string("a\0b\0", 4))},
        {"NoTerminator", value(RegType::Sz, "abc")},
        {"NoData", value(RegType::Sz, "")},
        {"LineBreak", value(RegType::Sz, std::string("a\r\nb\0", 5))},
        {"Expand", value(RegType::ExpandSz, std::string("%SystemRoot%\\x\0", 15))},
        {"Multi", platform::reg::multiSz({"*.tmp", "Été", "C:\\a b"})},
        {"MultiEmpty", platform::reg::multiSz({})},
        {"Binary", value(RegType::Binary, longBinary)},
        {"BinaryEmpty", value(RegType::Binary, "")},
        {"Dword", platform::reg::dword(0xDEADBEEF)},
        {"DwordZero", platform::reg::dword(0)},
        {"ShortDword", value(RegType::Dword, "\x01\x02")},
        {"None", value(RegType::None, "\x05")},
        {"Qword", value(static_cast<RegType>(11), std::string("\x01\0\0\0\0\0\0\x80", 8))},
        {"Name \\ with \"quotes\" à", platform::reg::dword(1)},
    };
    for (const auto& [name, v] : values)
        platform::sim::setValue(key, name, v);
    const std::string text = file.serialize();
    const RegFile again = RegFile::parse(text, "registry.reg");
    expectSame(file, again);
    EXPECT_EQ(again.serialize(), text);
    // Long hex data is wrapped onto continuation lines of bounded width.
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_LE(end - start, 80u);
        start = end + 2;
    }
}

TEST(RegFile, KeysAndValuesMatchWithoutCaseAndKeepTheirFirstSpellingAndPlace) {
    const std::string text =
        "REGEDIT4\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n\"Value\"=dword:00000001\r\n\"Other\"=\"x\"\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\B]\r\n"
        "[hkey_local_machine\\SOFTWARE\\a]\r\n\"VALUE\"=dword:00000002\r\n\"New\"=\"y\"\r\n";
    RegFile file = RegFile::parse(text, "registry.reg");
    ASSERT_EQ(file.keys().size(), 2u);
    const RegKeyData* a = file.find("HKEY_LOCAL_MACHINE\\SOFTWARE\\a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->path, "HKEY_LOCAL_MACHINE\\Software\\A");
    ASSERT_EQ(a->values.size(), 3u);
    EXPECT_EQ(a->values[0].first, "Value");
    EXPECT_EQ(a->values[0].second.data, std::string("\x02\0\0\0", 4));
    EXPECT_EQ(a->values[1].first, "Other");
    EXPECT_EQ(a->values[2].first, "New");

    // A new subkey under an existing parent takes the parent's spelling; missing parents are added.
    RegKeyData& c = file.create("HKEY_LOCAL_MACHINE\\SOFTWARE\\a\\C");
    EXPECT_EQ(c.path, "HKEY_LOCAL_MACHINE\\Software\\A\\C");
    ASSERT_EQ(file.keys().size(), 5u);
    EXPECT_EQ(file.keys()[2].path, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(file.keys()[3].path, "HKEY_LOCAL_MACHINE\\Software");
    EXPECT_EQ(&file.create("hkey_local_machine\\software\\b"), file.find("HKEY_LOCAL_MACHINE\\Software\\B"));
}

TEST(RegFile, AccentedNamesMatchWithoutCase) {
    RegFile file = RegFile::parse("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\\xC9t\xE9]\r\n", "registry.reg");
    ASSERT_NE(file.find("HKEY_LOCAL_MACHINE\\été"), nullptr);
    EXPECT_EQ(file.find("HKEY_LOCAL_MACHINE\\été")->path, "HKEY_LOCAL_MACHINE\\Été");
    EXPECT_EQ(file.find("HKEY_LOCAL_MACHINE\\ete"), nullptr);
}

TEST(RegFile, MalformedLinesAreErrorsNamingFileAndLine) {
    const std::string head = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\X]\r\n";
    EXPECT_EQ(parseError(""), "registry.reg, line 1: the file does not start with REGEDIT4");
    EXPECT_EQ(parseError("Windows Registry Editor Version 5.00\r\n"),
              "registry.reg, line 1: the file does not start with REGEDIT4");
    EXPECT_EQ(parseError("REGEDIT4\r\n\"A\"=dword:1\r\n"), "registry.reg, line 2: value outside of any key");
    EXPECT_EQ(parseError(head + "\"A\"=dword:123456789\r\n"), "registry.reg, line 4: malformed dword value");
    EXPECT_EQ(parseError(head + "\"A\"=dword:\r\n"), "registry.reg, line 4: malformed dword value");
    EXPECT_EQ(parseError(head + "\"A\"=\"open\r\n"), "registry.reg, line 4: malformed string value");
    EXPECT_EQ(parseError(head + "\"A\"=\"a\\n\"\r\n"), "registry.reg, line 4: malformed string value");
    EXPECT_EQ(parseError(head + "\"A\"=\"a\" x\r\n"), "registry.reg, line 4: malformed string value");
    EXPECT_EQ(parseError(head + "\"A\"=hex:0g\r\n"), "registry.reg, line 4: malformed hex data");
    EXPECT_EQ(parseError(head + "\"A\"=hex:01,\r\n"), "registry.reg, line 4: malformed hex data");
    EXPECT_EQ(parseError(head + "\"A\"=hex:123\r\n"), "registry.reg, line 4: malformed hex data");
    EXPECT_EQ(parseError(head + "\"A\"=hex(z):00\r\n"), "registry.reg, line 4: malformed value type");
    EXPECT_EQ(parseError(head + "\"A\"=hex:01,\\\r\n"),
              "registry.reg, line 4: hex data continues past the end of the file");
    EXPECT_EQ(parseError(head + "\"A\"=word:1\r\n"), "registry.reg, line 4: unknown kind of value data");
    EXPECT_EQ(parseError(head + "\"A\"=-\r\n"),
              "registry.reg, line 4: deleting a value is not supported here");
    EXPECT_EQ(parseError(head + "\"A\" dword:1\r\n"),
              "registry.reg, line 4: expected '=' after the value name");
    EXPECT_EQ(parseError(head + "\"A=dword:1\r\n"), "registry.reg, line 4: malformed value name");
    EXPECT_EQ(parseError(head + "[HKEY_LOCAL_MACHINE\\Y\r\n"), "registry.reg, line 4: malformed key line");
    EXPECT_EQ(parseError(head + "[-HKEY_LOCAL_MACHINE\\Y]\r\n"),
              "registry.reg, line 4: deleting a key is not supported here");
    EXPECT_EQ(parseError(head + "Start=1\r\n"),
              "registry.reg, line 4: expected a key in brackets or a value");
    // A continued value reports the line it starts on; lines after it keep their numbers.
    EXPECT_EQ(parseError(head + "\"A\"=hex:01,\\\r\n  02\r\n\"B\"=dword:x\r\n"),
              "registry.reg, line 6: malformed dword value");
}
