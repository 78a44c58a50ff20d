#pragma once
// The two windows as they were designed, once for every toolkit: each control's kind, container,
// rectangle in twips (1/1440 inch, relative to its container), caption, tooltip and look, in tab
// order. The toolkits build their windows from these tables and place them at the screen's
// logical resolution, so a window keeps its proportions on any screen.
#include <cstdint>

namespace papyra::design {

enum class Kind {
    Label,
    ComboBox,   // drop-down list with an edit field
    Button,     // push button
    Frame,      // group box
    ScrollBar,  // vertical, arrows only
    TextBox,    // single-line edit
    Option,     // option (radio) button
    PushOption, // option button drawn as a push button: it stays pressed while selected
};

struct Rgb {
    uint8_t red, green, blue;
};

struct Font {
    const char* face; // nullptr: the window's default font
    float points;
    bool bold;
};

enum class Align { Left, Centre };

struct Control {
    const char* name;
    Kind kind;
    const char* container; // nullptr: the window itself
    int left, top, width, height;
    const char* caption;
    const char* tooltip = nullptr;
    Font font = {nullptr, 0, false};
    Align align = Align::Left;
    const Rgb* text = nullptr;       // nullptr: the system's colour
    const Rgb* background = nullptr; // nullptr: the container's
    bool visible = true;
};

struct Window {
    const char* title;
    int width, height; // client area
    int left, top;     // design position on the screen
    Font font;         // the default font of every control without one of its own
};

// The classic dialog font; toolkits fall back to a face with Arial's metrics where it is missing.
inline constexpr Font DialogFont = {"MS Sans Serif", 8.25f, false};

inline constexpr Rgb PaleYellow = {255, 255, 192};
inline constexpr Rgb Blue = {0, 0, 255};
inline constexpr Rgb Red = {255, 0, 0};

// The setup window "Harvex Printer Setup". Frame5 and Frame6 share one rectangle; a pick shows
// the one that fits the printer.
inline constexpr Window Form1 = {"Harvex Printer Setup", 8100, 4110, 1740, 2475, DialogFont};
inline constexpr Control Form1Controls[] = {
    {"Combo1", Kind::ComboBox, nullptr, 120, 240, 3855, 315, "Combo1",
     "Select Printer from Dropdown"},
    {"Label1",
     Kind::Label,
     nullptr,
     4080,
     120,
     3735,
     255,
     "Label1",
     nullptr,
     {"Arial", 9, true},
     Align::Centre,
     &PaleYellow,
     &Blue},
    {"Command1", Kind::Button, nullptr, 5040, 2040, 1815, 495, "Printer Test",
     "Click here to print a Test Document"},
    {"Command2", Kind::Button, nullptr, 4080, 3480, 1815, 495, "&Cancel"},
    {"Command3", Kind::Button, nullptr, 6030, 3480, 1815, 495, "&OK"},
    {"Frame5", Kind::Frame, nullptr, 4080, 480, 3735, 1095, "Report Scaling"},
    {"VScroll1", Kind::ScrollBar, "Frame5", 1680, 360, 255, 255, ""},
    {"Text1", Kind::TextBox, "Frame5", 1200, 360, 495, 285, "0",
     "Adjust Scaling Percentage by clicking buttons to the right"},
    {"Label2", Kind::Label, "Frame5", 240, 360, 1095, 255, "Scale Factor"},
    {"Frame6", Kind::Frame, nullptr, 4080, 480, 3735, 1095, "Dot-Matrix Code Set"},
    {"Option9", Kind::Option, "Frame6", 240, 360, 1455, 255, "IBM"},
    {"Option10", Kind::Option, "Frame6", 1920, 360, 1575, 255, "Epson"},
    {"Label3", Kind::Label, nullptr, 120, 960, 3735, 255, "Label3", "Selected Printer Port"},
    {"Label4", Kind::Label, nullptr, 120, 1320, 3735, 255, "Label4", "Printer Driver Name"},
    {"Label5", Kind::Label, nullptr, 120, 0, 2535, 255, "Available Printers"},
    {"Label6",
     Kind::Label,
     "Frame5",
     240,
     720,
     3255,
     255,
     "Sample Report Text",
     nullptr,
     {"Courier New", 8.25f, false},
     Align::Centre},
    {"Frame1", Kind::Frame, nullptr, 120, 1800, 4335, 1095, "Printer Paper Source"},
    {"Option1", Kind::PushOption, "Frame1", 360, 360, 1695, 450, "Sheet Feed",
     "Select this option if you are using a Laser or Inkjet Printer"},
    {"Option2", Kind::PushOption, "Frame1", 2280, 360, 1695, 450, "Tractor Feed",
     "Select this option if you are using a Dot-Matrix Printer"},
    {"Label7",
     Kind::Label,
     nullptr,
     150,
     3150,
     3795,
     735,
     "You must save printer settings before running Harvex.",
     nullptr,
     {"MS Sans Serif", 8.25f, true},
     Align::Left,
     &Red,
     nullptr,
     false},
};
// The spin arrows' range; one unit an arrow click.
inline constexpr int ScrollMinimum = -30, ScrollMaximum = 30;

// The printer settings review window: no title; four lines and two buttons, the third button kept
// as designed but never shown (the test page is printed from the setup window).
inline constexpr Window Form2 = {"", 5985, 2490, 5085, 3975, DialogFont};
inline constexpr Control Form2Controls[] = {
    {"Label1", Kind::Label, nullptr, 120, 120, 4455, 255, "Label1"},
    {"Label2", Kind::Label, nullptr, 120, 480, 4455, 255, "Label1"},
    {"Label3", Kind::Label, nullptr, 120, 840, 4455, 255, "Label1"},
    {"Label4", Kind::Label, nullptr, 120, 1200, 4455, 255, "Label1"},
    {"Command1", Kind::Button, nullptr, 120, 2040, 2055, 375, "Adjust Settings"},
    {"Command2", Kind::Button, nullptr, 2400, 2040, 2055, 375, "OK"},
    {"Command3",
     Kind::Button,
     nullptr,
     120,
     1560,
     2055,
     375,
     "Print Test Page",
     "Click Here to Print a Test Page to Verify Printer Settings",
     {nullptr, 0, false},
     Align::Left,
     nullptr,
     nullptr,
     false},
};

// The printer dialog of SETUP mode and of "Adjust Settings".
inline constexpr const char* PrinterDialogTitle = "Harvex Printer Setup";

} // namespace papyra::design
