// The floor for telx5-config's start-up: a window with the same 87 controls,
// of the same kinds and at the same places, with their captions and nothing
// else (no fonts set, no lists filled, no settings read, no serial port).
// telx5-startup-bench times it and telx5-config the same way.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRect>
#include <QWidget>

#include <array>
#include <vector>

namespace {

enum class Kind
{
    Label,
    LineEdit,
    ComboBox,
    Button,
    CheckBox,
    GroupBox,
    ProgressBar,
    PlainTextEdit
};

// The window and its group boxes, numbered in the order the table creates them.
enum class Parent
{
    Window,
    MainFrame,
    AddressGroup,
    VersionGroup,
    RadioGroup,
    DisplayGroup,
    WifiGroup
};

struct Control
{
    Kind kind;
    Parent parent;
    QRect geometry;
    const char *text;
};

// In the order of mainwindow.ui, which is the order the real window stacks
// them in; those beyond 519 x 502 lie outside the window there too.
constexpr std::array<Control, 87> Controls = {{
    {Kind::Label, Parent::Window, {544, 80, 417, 33}, "Software only update data"},
    {Kind::GroupBox, Parent::Window, {0, 0, 521, 505}, ""},
    {Kind::Label, Parent::MainFrame, {176, 16, 225, 25}, "KT360 APRS Config"},
    {Kind::Label, Parent::MainFrame, {24, 62, 65, 17}, "Callsign"},
    {Kind::Label, Parent::MainFrame, {144, 58, 9, 9}, "-"},
    {Kind::Label, Parent::MainFrame, {24, 114, 57, 25}, "Status"},
    {Kind::Label, Parent::MainFrame, {203, 60, 49, 17}, "Pass"},
    {Kind::Label, Parent::MainFrame, {8, 88, 89, 17}, "Posi+Comment"},
    {Kind::Label, Parent::MainFrame, {24, 147, 73, 17}, "Server"},
    {Kind::Label, Parent::MainFrame, {24, 175, 49, 17}, "Tx time"},
    {Kind::Label, Parent::MainFrame, {24, 200, 49, 17}, "Filter"},
    {Kind::Label, Parent::MainFrame, {168, 480, 233, 17}, "If change setup then please restart"},
    {Kind::ProgressBar, Parent::MainFrame, {8, 440, 497, 25}, ""},
    {Kind::LineEdit, Parent::MainFrame, {88, 56, 53, 20}, ""},
    {Kind::ComboBox, Parent::MainFrame, {152, 56, 41, 18}, ""},
    {Kind::LineEdit, Parent::MainFrame, {88, 112, 191, 20}, ""},
    {Kind::Button, Parent::MainFrame, {188, 408, 81, 25}, "Save file"},
    {Kind::Button, Parent::MainFrame, {188, 376, 81, 25}, "Load file"},
    {Kind::Button, Parent::MainFrame, {16, 408, 81, 25}, "Default"},
    {Kind::Button, Parent::MainFrame, {104, 376, 81, 25}, "Read data"},
    {Kind::Button, Parent::MainFrame, {104, 408, 81, 25}, "Write data"},
    {Kind::LineEdit, Parent::MainFrame, {232, 56, 49, 20}, ""},
    {Kind::LineEdit, Parent::MainFrame, {88, 84, 193, 20}, ""},
    {Kind::LineEdit, Parent::MainFrame, {88, 169, 49, 20}, ""},
    {Kind::LineEdit, Parent::MainFrame, {88, 196, 113, 20}, ""},
    {Kind::GroupBox, Parent::MainFrame, {16, 224, 225, 140}, ""},
    {Kind::Label, Parent::AddressGroup, {8, 45, 49, 17}, "IP"},
    {Kind::Label, Parent::AddressGroup, {8, 69, 49, 17}, "Mask"},
    {Kind::Label, Parent::AddressGroup, {8, 92, 49, 17}, "Gate"},
    {Kind::Label, Parent::AddressGroup, {8, 115, 49, 17}, "DNS"},
    {Kind::Label, Parent::AddressGroup, {8, 20, 65, 17}, "DHCP"},
    {Kind::LineEdit, Parent::AddressGroup, {64, 40, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {104, 40, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {144, 40, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {184, 40, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {64, 64, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {104, 64, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {144, 64, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {184, 64, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {64, 88, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {104, 88, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {144, 88, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {184, 88, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {64, 112, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {104, 112, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {144, 112, 25, 20}, ""},
    {Kind::LineEdit, Parent::AddressGroup, {184, 112, 25, 20}, ""},
    {Kind::ComboBox, Parent::AddressGroup, {64, 13, 81, 20}, ""},
    {Kind::ComboBox, Parent::MainFrame, {16, 377, 81, 20}, ""},
    {Kind::GroupBox, Parent::MainFrame, {272, 368, 145, 65}, "Vers"},
    {Kind::LineEdit, Parent::VersionGroup, {8, 40, 129, 18}, ""},
    {Kind::LineEdit, Parent::MainFrame, {280, 384, 129, 18}, ""},
    {Kind::Button, Parent::MainFrame, {424, 376, 81, 25}, "Open ROM"},
    {Kind::Button, Parent::MainFrame, {424, 408, 81, 25}, "update"},
    {Kind::PlainTextEdit, Parent::MainFrame, {248, 248, 257, 113}, ""},
    {Kind::ComboBox, Parent::MainFrame, {88, 140, 193, 18}, ""},
    {Kind::GroupBox, Parent::MainFrame, {288, 90, 217, 97}, "RF RADIO"},
    {Kind::Label, Parent::RadioGroup, {8, 21, 33, 17}, "Tx/Rx"},
    {Kind::Label, Parent::RadioGroup, {144, 21, 33, 17}, "CTCSS"},
    {Kind::Label, Parent::RadioGroup, {112, 21, 25, 17}, "MHz"},
    {Kind::Label, Parent::RadioGroup, {8, 67, 41, 17}, "TX vol"},
    {Kind::Label, Parent::RadioGroup, {88, 44, 33, 25}, "Path"},
    {Kind::Label, Parent::RadioGroup, {88, 67, 33, 25}, "Alias"},
    {Kind::LineEdit, Parent::RadioGroup, {48, 16, 57, 20}, ""},
    {Kind::LineEdit, Parent::RadioGroup, {176, 16, 33, 20}, ""},
    {Kind::CheckBox, Parent::RadioGroup, {8, 40, 51, 25}, "DIGI"},
    {Kind::ComboBox, Parent::RadioGroup, {48, 64, 33, 20}, ""},
    {Kind::ComboBox, Parent::RadioGroup, {120, 41, 89, 20}, ""},
    {Kind::ComboBox, Parent::RadioGroup, {120, 64, 89, 20}, ""},
    {Kind::GroupBox, Parent::MainFrame, {288, 48, 217, 41}, "Setup"},
    {Kind::Label, Parent::DisplayGroup, {8, 19, 57, 17}, "Backlight"},
    {Kind::Label, Parent::DisplayGroup, {136, 19, 33, 17}, "Unit"},
    {Kind::ComboBox, Parent::DisplayGroup, {64, 16, 49, 20}, ""},
    {Kind::ComboBox, Parent::DisplayGroup, {160, 16, 49, 20}, ""},
    {Kind::GroupBox, Parent::MainFrame, {248, 192, 257, 49}, "WIFI user/password"},
    {Kind::Label, Parent::WifiGroup, {8, 24, 25, 17}, "ssid"},
    {Kind::Label, Parent::WifiGroup, {112, 24, 25, 17}, "pass"},
    {Kind::LineEdit, Parent::WifiGroup, {32, 16, 73, 20}, ""},
    {Kind::LineEdit, Parent::WifiGroup, {136, 16, 57, 20}, ""},
    {Kind::Button, Parent::WifiGroup, {208, 16, 41, 25}, "Apply"},
    {Kind::Button, Parent::MainFrame, {424, 473, 81, 25}, "restart"},
    {Kind::LineEdit, Parent::Window, {528, 136, 265, 33}, ""},
    {Kind::Button, Parent::Window, {608, 208, 81, 25}, "Open port"},
    {Kind::LineEdit, Parent::Window, {632, 288, 81, 25}, ""},
    {Kind::LineEdit, Parent::Window, {16, 464, 65, 17}, ""},
    {Kind::PlainTextEdit, Parent::Window, {816, 0, 257, 529}, ""},
    {Kind::PlainTextEdit, Parent::Window, {136, 560, 199, 20}, ""},
}};

QWidget *create(const Control &control, QWidget *parent)
{
    const QString text = QLatin1String(control.text);
    switch (control.kind) {
    case Kind::Label:
        return new QLabel(text, parent);
    case Kind::LineEdit:
        return new QLineEdit(parent);
    case Kind::ComboBox:
        return new QComboBox(parent);
    case Kind::Button:
        return new QPushButton(text, parent);
    case Kind::CheckBox:
        return new QCheckBox(text, parent);
    case Kind::GroupBox:
        return new QGroupBox(text, parent);
    case Kind::ProgressBar:
        return new QProgressBar(parent);
    case Kind::PlainTextEdit:
        return new QPlainTextEdit(parent);
    }
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(519, 502);

    std::vector<QWidget *> parents{&window};
    for (const Control &control : Controls) {
        QWidget *widget = create(control, parents.at(static_cast<std::size_t>(control.parent)));
        widget->setGeometry(control.geometry);
        if (control.kind == Kind::GroupBox)
            parents.push_back(widget);
    }

    window.show();
    return QApplication::exec();
}
