#include "ui/Form1.h"

#include "platform/qt/QtText.h"
#include "printing/PrintReportFile.h"
#include "printing/TestPages.h"
#include "profile/FileIO.h"
#include "profile/SettingsNames.h"
#include "ui/Design.h"
#include "ui/WindowHandler.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace papyra {

namespace {

const QColor PaleYellow(255, 255, 192);
const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);
const int16_t TractorFeed = 8;

template <typename Control>
Control* Make(QWidget* container, const char* name, int left, int top, int width, int height,
              int dpi) {
    auto* control = new Control(container);
    control->setObjectName(name);
    PlaceInTwips(control, left, top, width, height, dpi);
    return control;
}

QLabel* MakeLabel(QWidget* container, const char* name, const char* caption, int left, int top,
                  int width, int height, int dpi) {
    auto* label = Make<QLabel>(container, name, left, top, width, height, dpi);
    label->setText(caption);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true); // a label wraps within its rectangle and clips what does not fit
    return label;
}

void Paint(QWidget* control, QColor text, std::optional<QColor> background = std::nullopt) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, text);
    if (background) {
        palette.setColor(QPalette::Window, *background);
        control->setAutoFillBackground(true);
    }
    control->setPalette(palette);
}

QFont Font(const char* family, double points, bool bold, QFont::StyleHint hint) {
    QFont font(family);
    font.setStyleHint(hint);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

Form1::Form1(Program& program, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      program(program) {
    setObjectName("Form1");
    setWindowTitle("Harvex Printer Setup");
    setWindowModality(Qt::ApplicationModal);
    setFont(DialogFont(8.25)); // every control without a font of its own
    const int dpi = logicalDpiX();
    setFixedSize(TwipsToPixels(8100, dpi), TwipsToPixels(4110, dpi));
    move(TwipsToPixels(1740, dpi), TwipsToPixels(2475, dpi));

    combo1 = Make<QComboBox>(this, "Combo1", 120, 240, 3855, 315, dpi);
    combo1->setEditable(true);
    combo1->setInsertPolicy(QComboBox::NoInsert); // typing never adds a printer
    combo1->setCompleter(nullptr);                // nor completes one
    combo1->setToolTip("Select Printer from Dropdown");

    label1 = MakeLabel(this, "Label1", "Label1", 4080, 120, 3735, 255, dpi);
    label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label1->setFont(Font("Arial", 9, true, QFont::SansSerif));
    Paint(label1, PaleYellow, Blue);

    command1 = Make<QPushButton>(this, "Command1", 5040, 2040, 1815, 495, dpi);
    command1->setText("Printer Test");
    command1->setToolTip("Click here to print a Test Document");
    command2 = Make<QPushButton>(this, "Command2", 4080, 3480, 1815, 495, dpi);
    command2->setText("&Cancel");
    command3 = Make<QPushButton>(this, "Command3", 6030, 3480, 1815, 495, dpi);
    command3->setText("&OK");

    // Frame5 and Frame6 share one rectangle; a pick shows the one that fits the printer.
    frame5 = Make<QGroupBox>(this, "Frame5", 4080, 480, 3735, 1095, dpi);
    frame5->setTitle("Report Scaling");
    vScroll1 = Make<QScrollBar>(frame5, "VScroll1", 1680, 360, 255, 255, dpi);
    vScroll1->setOrientation(Qt::Vertical);
    vScroll1->setRange(-30, 30);
    vScroll1->setSingleStep(1);
    vScroll1->setPageStep(1);
    vScroll1->setValue(0);
    vScroll1->setFocusPolicy(Qt::StrongFocus); // a tab stop, like every other control here
    text1 = Make<QLineEdit>(frame5, "Text1", 1200, 360, 495, 285, dpi);
    text1->setText("0");
    text1->setToolTip("Adjust Scaling Percentage by clicking buttons to the right");
    label2 = MakeLabel(frame5, "Label2", "Scale Factor", 240, 360, 1095, 255, dpi);

    frame6 = Make<QGroupBox>(this, "Frame6", 4080, 480, 3735, 1095, dpi);
    frame6->setTitle("Dot-Matrix Code Set");
    option9 = Make<QRadioButton>(frame6, "Option9", 240, 360, 1455, 255, dpi);
    option9->setText("IBM");
    option10 = Make<QRadioButton>(frame6, "Option10", 1920, 360, 1575, 255, dpi);
    option10->setText("Epson");
    codeSet = new QButtonGroup(this);
    codeSet->addButton(option9);
    codeSet->addButton(option10);

    label3 = MakeLabel(this, "Label3", "Label3", 120, 960, 3735, 255, dpi);
    label3->setToolTip("Selected Printer Port");
    label4 = MakeLabel(this, "Label4", "Label4", 120, 1320, 3735, 255, dpi);
    label4->setToolTip("Printer Driver Name");
    label5 = MakeLabel(this, "Label5", "Available Printers", 120, 0, 2535, 255, dpi);
    label6 = MakeLabel(frame5, "Label6", "Sample Report Text", 240, 720, 3255, 255, dpi);
    label6->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label6->setFont(Font("Courier New", 8.25, false, QFont::Monospace));

    frame1 = Make<QGroupBox>(this, "Frame1", 120, 1800, 4335, 1095, dpi);
    frame1->setTitle("Printer Paper Source");
    // Option buttons drawn as push buttons: they stay pressed while selected.
    option1 = Make<QPushButton>(frame1, "Option1", 360, 360, 1695, 450, dpi);
    option1->setText("Sheet Feed");
    option1->setToolTip("Select this option if you are using a Laser or Inkjet Printer");
    option2 = Make<QPushButton>(frame1, "Option2", 2280, 360, 1695, 450, dpi);
    option2->setText("Tractor Feed");
    option2->setToolTip("Select this option if you are using a Dot-Matrix Printer");
    paperFeed = new QButtonGroup(this);
    for (QPushButton* option : {option1, option2}) {
        option->setCheckable(true);
        paperFeed->addButton(option);
    }

    label7 = MakeLabel(this, "Label7", "You must save printer settings before running Harvex.", 150,
                       3150, 3795, 735, dpi);
    label7->setFont(DialogFont(8.25, true));
    Paint(label7, Red);
    label7->hide();

    // Frames are opaque: the one on top hides the other. Labels are painted on their container,
    // below every control that overlaps them.
    for (QGroupBox* frame : {frame1, frame5, frame6})
        frame->setAutoFillBackground(true);
    for (QLabel* label : findChildren<QLabel*>())
        label->lower();

    QWidget* order[] = {combo1, command1, command2, command3, vScroll1,
                        text1,  option9,  option10, option1,  option2};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(combo1, &QComboBox::activated, this, [this](int index) {
        selectedPosition = index;
        Handle([this, index] { Pick(index); });
    });
    // Only the user's typing counts: a pick also changes the edit text.
    connect(combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { selectedPosition = -1; });
    connect(command1, &QPushButton::clicked, this, [this] { Handle([this] { PrinterTest(); }); });
    connect(command2, &QPushButton::clicked, this, [this] { Handle([this] { Cancel(); }); });
    connect(command3, &QPushButton::clicked, this, [this] { Handle([this] { Ok(); }); });

    Handle([this] { Load(); });
}

void Form1::Handle(const std::function<void()>& handler) {
    RunWindowHandler(program.platform, handler);
}

void Form1::Load() {
    Printers& printers = program.platform.printers;
    const int count = printers.Count();
    for (int i = 0; i < count; ++i)
        combo1->addItem(FromAnsi(printers.Item(i).DeviceName()));
    combo1->setCurrentIndex(-1); // no printer is picked for the user
    combo1->setEditText("Combo1");
    label7->setVisible(program.state.HostNotRunning);
}

void Form1::Pick(int position) {
    Printers& printers = program.platform.printers;
    printers.SetCurrent(position);
    Printer& printer = printers.Current();
    label3->setText("Connected to: " + FromAnsi(printer.Port()));
    label4->setText("Driver Name: " + FromAnsi(printer.DriverName()));
    const bool tractor = printer.PaperBin() == TractorFeed;
    label1->setText(tractor ? "Dot-Matrix Printer" : "Laser / Inkjet Printer");
    frame6->setVisible(tractor);
    frame5->setVisible(!tractor);
    (tractor ? option2 : option1)->setChecked(true);
}

void Form1::PrinterTest() {
    PrintReportFile(program, WriteSetupTestPage(program));
    // End the job at once, so the page leaves the spooler while the window stays open.
    program.platform.printers.Current().EndDoc();
}

void Form1::Ok() {
    Platform& platform = program.platform;
    const bool hostFound = platform.windows.TopLevelWindowExists(names::HostWindowTitle);
    SavePrinterSettings();
    if (!hostFound || program.state.HostNotRunning) platform.launcher.Launch(names::HostProgram);
    close();
}

void Form1::Cancel() {
    close();
    program.platform.process.End();
}

void Form1::SavePrinterSettings() {
    Platform& platform = program.platform;
    Printer& printer = platform.printers.Current();
    platform.settings.SaveSetting(names::SettingApplication, names::SettingSection,
                                  names::SettingDeviceKey,
                                  printer.DeviceName() + " On " + printer.Port());

    FileIO profile(platform);
    profile.Filename = program.state.ProfilePath;
    profile.Heading = names::PrinterSection;
    profile.Keyword = names::DeviceKey;
    profile.NewValue = selectedPosition;
    profile.FileOUT();
    profile.Keyword = names::DeviceNameKey;
    profile.NewValue = printer.DeviceName();
    profile.FileOUT();
    profile.Keyword = names::PortKey;
    profile.NewValue = printer.Port();
    profile.FileOUT();

    profile.Filename = names::HostSettingsFile;
    profile.Heading = names::HostSettingsSection;
    profile.Keyword = names::PrinterCodeSetKey;
    profile.NewValue = option9->isChecked() ? "I" : "E";
    profile.FileOUT();

    // With no entry picked (or the list typed over) there is no position to return to: the
    // current printer stays as it is.
    if (selectedPosition >= 0) platform.printers.SetCurrent(selectedPosition);
}

void Form1::closeEvent(QCloseEvent* event) {
    // Unloading saves nothing; "&OK" has saved before it gets here.
    event->accept();
    emit Unloaded();
}

} // namespace papyra
