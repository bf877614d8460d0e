// The programs' start-up without the C runtime does what the C runtime's does: the same probe
// program, built once on each (startup_probe.cpp), must log the same steps in the same
// order for the same command line and show command, and end with the same exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "machine.h"
#include "winauto.h"

namespace {

DWORD const Timeout = 10000;
using Lines = std::vector<std::string>;

struct Probe {
    char const* program;
    char const* startUp;
};
Probe const Probes[] = {
    {"startup_probe.exe", "the framework's"},
    {"startup_probe_crt.exe", "the C runtime's"},
};

void PrintTo(Probe const& probe, std::ostream* out)
{
    *out << probe.program;
}

// A command line as a program is started with it: the quoted or plain program path, the
// rest as the program must see it after its name and the blanks that follow.
struct CommandLine {
    char const* label;
    bool quoted;
    char const* rest;       // after the program path
    char const* expected;   // the command line WinMain gets
};
CommandLine const CommandLines[] = {
    {"quoted, with arguments", true, "  one \"two three\" ", "one \"two three\" "},
    {"plain, tab before the arguments", false, "\tC:\\Tamrix", "C:\\Tamrix"},
    {"quoted, nothing after it", true, "", ""},
};

std::string LogPath(char const* program)
{
    return machine::TempPath(std::string(program) + ".log");
}

Lines ReadLog(std::string const& path)
{
    Lines lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Starts the probe with this command line and, when show is not -1, this show command; its
// exit code, 0xDEAD when it could not start or did not end.
DWORD RunProbe(char const* program, CommandLine const& command, int show)
{
    std::string const path = winauto::BesideThisProgram(program);
    std::string line = (command.quoted ? "\"" + path + "\"" : path) + command.rest;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (show != -1) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show);
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 0xDEAD;
    CloseHandle(info.hThread);
    winauto::Process process(info.hProcess, info.dwProcessId);
    return process.WaitForExit(Timeout).value_or(0xDEAD);
}

// What a probe logs, in order, for a command line and a show command.
Lines ExpectedLog(char const* commandLine, int show)
{
    return {
        "construct first",
        "construct second",
        "constructor function",
        "WinMain module 1 previous 1",
        std::string("command line [") + commandLine + "]",
        "show " + std::to_string(show),
        "memmove up ababcdef",
        "memmove down cdefghgh",
        "memcpy -xyz----",
        "memset abzzzfgh",
        "memcmp 1 0 1",
        "atexit function",
        "destructor function",
        "destroy second",
        "destroy first",
    };
}

class StartUp : public testing::TestWithParam<Probe> {};

TEST_P(StartUp, ConstructsRunsWinMainWithTheCommandLineAndDestroysInReverse)
{
    Probe const& probe = GetParam();
    SCOPED_TRACE(std::string(probe.program) + ", " + probe.startUp + " start-up");
    std::string const log = LogPath(probe.program);
    for (CommandLine const& command : CommandLines) {
        SCOPED_TRACE(command.label);
        DeleteFileA(log.c_str());
        EXPECT_EQ(42u, RunProbe(probe.program, command, -1)) << "WinMain's result is the exit code";
        EXPECT_EQ(ExpectedLog(command.expected, SW_SHOWDEFAULT), ReadLog(log));
    }
}

TEST_P(StartUp, WinMainGetsTheShowCommandTheProgramWasStartedWith)
{
    Probe const& probe = GetParam();
    SCOPED_TRACE(std::string(probe.program) + ", " + probe.startUp + " start-up");
    std::string const log = LogPath(probe.program);
    DeleteFileA(log.c_str());
    EXPECT_EQ(42u, RunProbe(probe.program, CommandLines[0], SW_SHOWMINNOACTIVE));
    EXPECT_EQ(ExpectedLog(CommandLines[0].expected, SW_SHOWMINNOACTIVE), ReadLog(log));
}

INSTANTIATE_TEST_SUITE_P(BothStartUps, StartUp, testing::ValuesIn(Probes),
                         [](testing::TestParamInfo<Probe> const& info) {
                             return info.index == 0 ? std::string("WithoutCRuntime") : std::string("CRuntime");
                         });

} // namespace
