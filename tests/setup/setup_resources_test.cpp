// The installer's dialog templates and its string, read from the built setup.exe: what the
// resource compiler wrote is what the dialogs are made from.
#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "resource.h"
#include "resources.h"
#include "winauto.h"

namespace {

using resources::ControlKind;
using resources::ControlRow;

DWORD const Framed = DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;

struct Template {
    char const* name;
    int id;
    char const* title;
    int cx, cy;
    DWORD style;      // the bits the dialog must have
    DWORD exStyle;    // the extended-style bits it must have
    std::vector<ControlRow> controls;
};

void PrintTo(Template const& t, std::ostream* out)
{
    *out << t.name;
}

ControlKind const DefaultButton = ControlKind::DefaultPushButton;
ControlKind const Button = ControlKind::PushButton;
ControlKind const Radio = ControlKind::AutoRadioButton;
ControlKind const CheckBox = ControlKind::AutoCheckBox;
ControlKind const Group = ControlKind::GroupBox;
ControlKind const Text = ControlKind::Text;
ControlKind const RightText = ControlKind::RightText;
ControlKind const NoWrapText = ControlKind::TextWithoutWrap;
ControlKind const Icon = ControlKind::Icon;
ControlKind const Progress = ControlKind::ProgressBarWithBorder;

std::vector<Template> const Templates = {
    {"Welcome", IDD_WELCOME, "Welcome", 233, 127, Framed | WS_VISIBLE, WS_EX_APPWINDOW, {
        // id               kind           text                                                               x    y    w    h   icon
        {IDOK,              DefaultButton, "&NEXT >",                                                         133, 106, 42,  14},
        {IDCANCEL,          Button,        "Cancel",                                                          184, 106, 42,  14},
        {-1,                Text,          "Welcome to the Tamrix Setup programs.This program",               39,  15,  176, 8},
        {-1,                Icon,          "",                                                                14,  15,  21,  20, IDR_MAINFRAME},
        {-1,                Text,          "will install Tamrix driver on your computer.",                    39,  27,  165, 8},
        {-1,                Text,          "It is strongly recommended that you exit all Windows programs",   15,  45,  198, 8},
        {-1,                Text,          "before running  this Setup program.",                             15,  57,  198, 8},
        {-1,                Text,          "Click Cancel to quit Setup program. Click Next to continue with", 15,  76,  200, 8},
        {-1,                Text,          "the Setup program.",                                              15,  88,  198, 8},
    }},
    {"InstallType", IDD_INSTALL_TYPE, "Select Installation Type", 199, 114, Framed, 0, {
        // id               kind           text                                                      x    y   w    h   icon
        {IDOK,              DefaultButton, "&Next",                                                  118, 93, 34,  14},
        {IDCANCEL,          Button,        "Cancel",                                                 158, 93, 34,  14},
        {IDC_PS2_PORT,      Radio,         "PS/2 Mouse Port",                                        31,  55, 90,  10},
        {IDC_SERIAL_PORT,   Radio,         "Serial Mouse Port",                                      31,  37, 84,  9},
        {-1,                Text,          "Please select the mouse type that you want to install.", 14,  17, 170, 8},
        {-1,                Icon,          "",                                                       143, 39, 18,  20, IDI_MOUSE_TYPE},
        {IDC_LUMIVANE,      CheckBox,      "Lumivane Function",                                      31,  74, 96,  9},
    }},
    {"CopyFiles", IDD_COPY_FILES, "Copy files", 262, 138, Framed | WS_VISIBLE, 0, {
        // id               kind           text               x    y    w    h
        {-1,                Group,         "Current File",    13,  15,  234, 41},
        {-1,                RightText,     "From :",          29,  26,  20,  8},
        {-1,                RightText,     "To :",            29,  41,  20,  8},
        {IDC_COPY_FROM,     Text,          "",                54,  26,  188, 8},
        {IDC_COPY_TO,       Text,          "",                54,  41,  188, 8},
        {-1,                Group,         "Progress Status", 13,  64,  234, 57},
        {IDC_COPY_PROGRESS, Progress,      "",                31,  84,  200, 12},
        {IDC_COPY_PERCENT,  NoWrapText,    "",                120, 102, 23,  10},
    }},
    // Neither button is the default.
    {"ExitSetup", IDD_EXIT_SETUP, "Exit Setup", 211, 125, Framed, 0, {
        // id               kind           text                                                            x    y    w    h
        {IDC_EXIT_TEXT,     Text,          "Setup is not complete. If you quit the Setup program now,",    18,  13,  184, 8},
        {-1,                Text,          "the program will not be installed.",                           18,  23,  175, 8},
        {-1,                Text,          "You may run the Setup program at a later time to complete ",   18,  43,  186, 8},
        {-1,                Text,          "the installation.",                                            18,  53,  175, 8},
        {-1,                Text,          "To continue installing the program, click Resume. To quit ",   18,  73,  183, 8},
        {-1,                Text,          "the Setup program, click Exit Setup.",                         18,  83,  175, 8},
        {IDOK,              Button,        "&Resume",                                                      131, 103, 36,  15},
        {IDCANCEL,          Button,        "E&xit Setup",                                                  168, 103, 36,  15},
    }},
    {"InstallFinished", IDD_INSTALL_FINISHED, "Install Finished", 188, 85, Framed, 0, {
        // id               kind           text                                                x    y   w    h
        {IDOK,              DefaultButton, "Yes",                                              82,  56, 43,  14},
        {IDCANCEL,          Button,        "No",                                               132, 56, 43,  14},
        {-1,                Text,          "To finish setting up your new hardware, you must", 13,  14, 160, 10},
        {-1,                Text,          "reboot your computer.",                            13,  24, 160, 10},
        {-1,                Text,          "Reboot Now?",                                      13,  40, 160, 10},
    }},
    // The second line is the notice setup.rc chose.
    {"About", IDD_ABOUTBOX, "About Setup", 217, 55, Framed, 0, {
        // id               kind           text                               x    y   w    h   icon
        {-1,                Icon,          "",                                11,  17, 18,  20, IDR_MAINFRAME},
        {-1,                Text,          "Setup Version 1.0",               40,  10, 119, 8},
        {-1,                Text,          "Copyright (C) 1997 Norvel Corp.", 40,  25, 119, 8},
        {IDOK,              DefaultButton, "OK",                              178, 7,  32,  14},
    }},
};

class SetupTemplate : public testing::TestWithParam<Template> {};

TEST_P(SetupTemplate, IsAsTheTableGivesIt)
{
    Template const& expected = GetParam();
    resources::Module setup(winauto::BesideThisProgram("setup.exe"));
    ASSERT_TRUE(setup) << GetLastError();
    auto dialog = setup.Dialog(expected.id);
    ASSERT_TRUE(dialog) << "template " << expected.id;

    EXPECT_EQ(expected.title, dialog->title);
    EXPECT_EQ(expected.cx, dialog->cx);
    EXPECT_EQ(expected.cy, dialog->cy);
    EXPECT_EQ(expected.style, dialog->style & expected.style) << std::hex << "style 0x" << dialog->style;
    EXPECT_EQ(expected.exStyle, dialog->exStyle & expected.exStyle)
        << std::hex << "extended style 0x" << dialog->exStyle;
    EXPECT_EQ(8, dialog->fontSize);
    EXPECT_EQ("MS Sans Serif", dialog->fontFace);

    ASSERT_EQ(expected.controls.size(), dialog->controls.size());
    for (std::size_t i = 0; i < expected.controls.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(expected.controls[i], resources::RowOf(dialog->controls[i]));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SetupTemplate, testing::ValuesIn(Templates),
                         [](testing::TestParamInfo<Template> const& info) { return std::string(info.param.name); });

TEST(SetupStrings, AboutItemText)
{
    resources::Module setup(winauto::BesideThisProgram("setup.exe"));
    ASSERT_TRUE(setup) << GetLastError();
    EXPECT_EQ("&About Setup...", setup.String(IDS_ABOUTBOX).value_or("(none)"));
}

}  // namespace
