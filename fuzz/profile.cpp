// Profile files: reading every key, the section list, a write then a re-read. Code page and
// UTF-16LE text go through the program's conversions, which must give back every byte.
#include "Finding.h"
#include "platform/FileProfile.h"
#include "platform/Text.h"
#include "support/MemoryFiles.h"

#include <cstdint>

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const bool unicode = bytes.rfind("\xFF\xFE", 0) == 0;
    if (unicode) {
        const std::string body = bytes.substr(2, (size - 2) & ~std::size_t{1});
        fuzz::expectSame("UTF-16LE read and write", body, text::toUtf16le(text::fromUtf16le(body)));
    } else {
        fuzz::expectSame("Windows-1252 read and write", bytes, text::toCp1252(text::fromCp1252(bytes)));
    }
    fuzz::expectSame(
        "the document's text", unicode ? text::fromUtf16le(bytes.substr(2)) : text::fromCp1252(bytes),
        ini::Document(unicode ? text::fromUtf16le(bytes.substr(2)) : text::fromCp1252(bytes)).text());

    testing_support::MemoryFiles files;
    const std::string path = "C:\\Program Files\\Kestrafen\\f.ini";
    files.files[path] = bytes;
    FileProfile profile(files);
    const std::vector<std::string> sections = profile.sectionNames(path);
    for (std::size_t i = 0; i < sections.size() && i < 16; ++i)
        profile.readString(path, sections[i], "Langue", "");

    // A write then a re-read: the value is there and the other sections are as they were.
    const std::string section = sections.empty() ? "Fuzz" : sections.back();
    profile.writeString(path, section, "FuzzKey", "written value");
    FileProfile again(files);
    fuzz::expectSame("a written value read back", "written value",
                     again.readString(path, section, "FuzzKey", ""));
    std::vector<std::string> after = again.sectionNames(path);
    std::vector<std::string> expected = sections;
    if (sections.empty() || again.sectionNames(path).size() != sections.size())
        expected.push_back(text::fromCp1252(text::toCp1252(section)));
    std::string a, e;
    for (const auto& s : after)
        a += s + "|";
    for (const auto& s : expected)
        e += s + "|";
    fuzz::expectSame("the section list after a write", e, a);
    // Writing the same value again changes no byte.
    const std::string written = files.files[path];
    again.writeString(path, section, "FuzzKey", "written value");
    fuzz::expectSame("writing a value again", written, files.files[path]);
    return 0;
}
