#include "app/QuotationWindow.h"

QuotationWindow::QuotationWindow(ui::Application& app)
    : ui::Form(app, "TForm7"), Label2(*this, "Label2", nullptr, ui::Rect{4, 2, 348, 13}, "Everybody lies."),
      Label1(*this, "Label1", nullptr, ui::Rect{303, 16, 56, 13}, "House M.D.") {
    setCaption("");
    clientWidth = 360;
    clientHeight = 31;
    border = ui::BorderStyle::ToolWindow;
    minimizeButton = false;
    escapeCloses = true; // nothing to lose: a quotation to read
    position = ui::Position::MainFormCenter;
    ui::Font italic = font;
    italic.italic = true;
    Label2.setFont(italic);
}
