// The tray utility's About template, strings and menus, read from the built Pupex.exe.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "frameres.h"
#include "resource.h"
#include "resources.h"
#include "winauto.h"

namespace {

using resources::ControlKind;
using resources::ControlRow;
using resources::MenuItem;

std::string ProgramFile()
{
    return winauto::BesideThisProgram("Pupex.exe");
}

// A menu as lines: a popup's title, then its items indented, each with its command.
void AddMenuLines(std::vector<MenuItem> const& items, std::string const& indent, std::vector<std::string>& lines)
{
    for (MenuItem const& item : items) {
        std::string line = indent + "\"" + item.text + "\"";
        if (item.flags & MF_POPUP)
            line += " popup";
        else
            line += " " + std::to_string(item.command);
        if (item.flags & ~MF_POPUP)
            line += " flags " + std::to_string(item.flags & ~MF_POPUP);
        lines.push_back(line);
        AddMenuLines(item.items, indent + "  ", lines);
    }
}

std::vector<std::string> MenuLines(std::vector<MenuItem> const& items)
{
    std::vector<std::string> lines;
    AddMenuLines(items, "", lines);
    return lines;
}

}  // namespace

TEST(PupexResources, AboutTemplateIsAsTheTableGivesIt)
{
    resources::Module pupex(ProgramFile());
    ASSERT_TRUE(pupex) << GetLastError();
    auto about = pupex.Dialog(IDD_ABOUTBOX);
    ASSERT_TRUE(about);

    EXPECT_EQ("About Lumivane", about->title);
    EXPECT_EQ(34, about->x);
    EXPECT_EQ(22, about->y);
    EXPECT_EQ(182, about->cx);
    EXPECT_EQ(91, about->cy);
    DWORD const framed = DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(framed, about->style & framed) << std::hex << "style 0x" << about->style;
    EXPECT_EQ(8, about->fontSize);
    EXPECT_EQ("MS Sans Serif", about->fontFace);

    // The first line is the wording pupex.rc chose.
    std::vector<ControlRow> const expected = {
        // id   kind                            text                                          x   y   w    h   icon
        {-1,    ControlKind::CentredText,       "Lumivane Version 1.0",                       42, 12, 88,  10},
        {IDOK,  ControlKind::DefaultPushButton, "&OK",                                        66, 66, 50,  15},
        {-1,    ControlKind::CentredText,       "Click the right button over the mouse puppy and\n"
                                                " select About and Enable/Disable items. ",   9,  37, 164, 20},
        {-1,    ControlKind::Icon,              "",                                           12, 10, 18,  20, IDI_PUPPY},
    };
    ASSERT_EQ(expected.size(), about->controls.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(expected[i], resources::RowOf(about->controls[i]));
    }
}

TEST(PupexResources, StringsAreTheProgramsOwn)
{
    resources::Module pupex(ProgramFile());
    ASSERT_TRUE(pupex) << GetLastError();
    struct {
        int id;
        char const* text;
    } const strings[] = {
        // id               text
        {IDR_MAINFRAME,     "Lumivane Application"},
        {IDI_PUPPY,         "Double-click the puppy to show Mouse Control Panel."},
        {IDS_SUSPENDED_TIP, "To flush, right-click then Suspend Skipwise."},
        {ID_CHANGE_ICON,    "Change the tray icon"},
        {ID_OPEN_WINDOW,    "Open Lumivane Window"},
        {ID_ENABLE_DISABLE, "Close Lumivane"},
        {AFX_IDS_APP_TITLE, "Lumivane"},
        {ID_APP_EXIT,       "Exit Lumivane (Well, not really--just hide it)\nExit"},
    };
    for (auto const& s : strings)
        EXPECT_EQ(s.text, pupex.String(s.id).value_or("(none)")) << "string " << s.id;
    // The frame asks for string 3 as the tip of icon 3 and must find none.
    EXPECT_FALSE(pupex.String(IDR_TRAYICON)) << *pupex.String(IDR_TRAYICON);
}

TEST(PupexResources, FrameMenuAndTrayMenu)
{
    resources::Module pupex(ProgramFile());
    ASSERT_TRUE(pupex) << GetLastError();
    auto frame = pupex.Menu(IDR_MAINFRAME);
    ASSERT_TRUE(frame);
    EXPECT_EQ((std::vector<std::string>{
                  "\"&File\" popup",
                  "  \"E&xit\" " + std::to_string(ID_APP_EXIT),
              }),
              MenuLines(*frame));
    auto tray = pupex.Menu(IDR_TRAYICON);
    ASSERT_TRUE(tray);
    EXPECT_EQ((std::vector<std::string>{
                  "\"&Tray\" popup",
                  "  \"&About Lumivane...\" " + std::to_string(ID_APP_ABOUT),
                  "  \"&Disable\" " + std::to_string(ID_ENABLE_DISABLE),
              }),
              MenuLines(*tray));
}
