#pragma once
// The program's entry: the splash with its first-run work, the windows created in their fixed
// order, then the main window's event loop.
#include "platform/Platform.h"
#include "ui/Application.h"

#include <memory>

class TSplashScreen;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm7;

class Project1 {
public:
    Project1(ui::Application& app, platform::Platform& platform);
    ~Project1();

    // Steps 1 to 6 of the start: splash, first-run work, the six windows; the splash is gone after.
    void start();
    // Runs the main window's event loop until it is closed.
    void run();

    TForm1& form1() { return *form1_; }
    TForm2& form2() { return *form2_; }
    TForm3& form3() { return *form3_; }
    TForm4& form4() { return *form4_; }
    TForm5& form5() { return *form5_; }
    TForm7& form7() { return *form7_; }
    // The splash while it exists (during start()), else nullptr.
    TSplashScreen* splash() { return splash_.get(); }

private:
    ui::Application& app_;
    platform::Platform& platform_;
    std::unique_ptr<TSplashScreen> splash_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TForm7> form7_;
};
