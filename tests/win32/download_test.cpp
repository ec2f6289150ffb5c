// Downloads through Wine's urlmon from the script's HTTP server on 127.0.0.1.
#include "Scratch.h"

#include <gtest/gtest.h>

using platform::win32::Win32Download;
using platform::win32::Win32FileSystem;
using testing_support::Scratch;

namespace {

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = testing_support::scriptSetting("KESTRAFEN_HTTP_URL");
        served = testing_support::scriptSetting("KESTRAFEN_HTTP_ROOT");
        if (server.empty() || served.empty())
            GTEST_SKIP() << "run by wine_test.sh, which starts the server";
    }
    std::string server, served;
    Win32Download download;
    Win32FileSystem files;
    Scratch scratch;
};

} // namespace

TEST_F(DownloadTest, FetchesAFileAndFetchesItAgainOnceForgotten) {
    files.createFolder(served + "jour");
    files.writeFile(served + "jour\\Kestrafen.ini", "[Kestrafen]\r\nVersion=1.3D\r\n");
    const std::string url = server + "jour/Kestrafen.ini";
    const std::string target = scratch.path() + "KestrafenJ.ini";
    ASSERT_TRUE(download.toFile(url, target));
    EXPECT_EQ(files.readFile(target), "[Kestrafen]\r\nVersion=1.3D\r\n");

    files.writeFile(served + "jour\\Kestrafen.ini", "[Kestrafen]\r\nVersion=1.4\r\n");
    download.forgetCached(url);
    files.deleteFile(target);
    ASSERT_TRUE(download.toFile(url, target));
    EXPECT_EQ(files.readFile(target), "[Kestrafen]\r\nVersion=1.4\r\n");
}

TEST_F(DownloadTest, AnAbsentServerGivesNoFile) {
    const std::string target = scratch.path() + "KestrafenJ.ini";
    // Port 9 on the loopback address: nothing listens there.
    EXPECT_FALSE(download.toFile("http://127.0.0.1:9/jour/Kestrafen.ini", target));
    EXPECT_FALSE(files.fileExists(target));
}
