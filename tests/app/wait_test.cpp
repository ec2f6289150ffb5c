#include "AppFixture.h"

#include "lang/Keys.h"

using testing_support::AppFixture;

namespace {

struct WaitTest : AppFixture {
    WaitTest() { ordinaryStart(); }
    std::int64_t now() { return platform->process.nowMs(); }
};

// The wait after switching on: it ends with the first listed point, with the bound, or with a close.
TEST_F(WaitTest, WaitForAPointEndsWithThePointTheBoundOrAClose) {
    setPoints(nlohmann::ordered_json::array());
    startProgram();

    // No point ever comes: two minutes of the machine's clock, then a message of its own.
    std::int64_t start = now();
    app.dispatch([&] { EXPECT_FALSE(f().waitForListedPoint()); });
    EXPECT_GE(now() - start, 120000);
    EXPECT_LT(now() - start, 125000);
    EXPECT_EQ(backend.messageTexts().back(), lang::keys::atUseDefault("Message15"));

    backend.clearMessages();
    // Closing the window while it waits ends the wait and closes normally.
    backend.onProcessMessages = [&] { f().closeRequested(); };
    start = now();
    app.dispatch([&] { EXPECT_FALSE(f().waitForListedPoint()); });
    backend.onProcessMessages = nullptr;
    EXPECT_LT(now() - start, 1000);
    EXPECT_FALSE(f().visible());

    // The service adds a point some time after Enable.
    backend.clearMessages();
    app.dispatch([&] { s().automation().Enable("C:\\"); });
    start = now();
    app.dispatch([&] { EXPECT_TRUE(f().waitForListedPoint()); });
    EXPECT_EQ(f().PointR.count(), 1);
    EXPECT_LT(now() - start, 120000);
    EXPECT_TRUE(backend.messages().empty());
}

} // namespace
