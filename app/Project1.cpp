#include "app/Project1.h"

#include "app/Unit1.h"
#include "app/Unit6.h"
#include "app/Unit7.h"
#include "config/Unit3.h"
#include "config/Unit4.h"
#include "config/Unit5.h"
#include "restore/Unit2.h"

Project1::Project1(ui::Application& app, platform::Platform& platform) : app_(app), platform_(platform) {}

Project1::~Project1() = default;

void Project1::start() {
    splash_ = std::make_unique<TSplashScreen>(app_, platform_);
    splash_->create();
    splash_->show(); // its activation does the first-run work before show returns
    splash_->repaint();

    app_.setTitle("Kestrafen");
    form1_ = std::make_unique<TForm1>(app_, platform_);
    app_.setMainForm(form1_.get());
    form1_->create();
    form2_ = std::make_unique<TForm2>(app_, *form1_);
    form2_->create();
    form3_ = std::make_unique<TForm3>(app_, *form1_);
    form3_->create();
    form4_ = std::make_unique<TForm4>(app_, *form1_);
    form4_->create();
    form5_ = std::make_unique<TForm5>(app_, *form1_);
    form5_->create();
    form7_ = std::make_unique<TForm7>(app_);
    form7_->create();
    form1_->quotation = form7_.get();

    splash_->hide();
    splash_.reset();
}

void Project1::run() {
    app_.run();
}
