// The copy steps in-process, for what the real system cannot be made to do under Wine: a
// system or Windows folder so long that the file's path below it does not fit. The steps are
// linked into this program and reach the folder reads through its import table, which the
// test points at its own folder for the length of one step.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "dialogs.h"
#include "setup_driver.h"
#include "state.h"

using namespace setuptest;

namespace {

// While it lives, this program's import of a KERNEL32 function leads to a replacement.
class ImportReplacement {
public:
    ImportReplacement(char const* function, void* replacement)
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto const* nt = reinterpret_cast<IMAGE_NT_HEADERS const*>(
            base + reinterpret_cast<IMAGE_DOS_HEADER const*>(base)->e_lfanew);
        auto const& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto const* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR const*>(base + imports.VirtualAddress);
             dll->Name && !slot_; ++dll) {
            if (lstrcmpiA(reinterpret_cast<char const*>(base + dll->Name), "KERNEL32.dll") != 0)
                continue;
            auto const* names = reinterpret_cast<IMAGE_THUNK_DATA const*>(base + dll->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
            for (; names->u1.AddressOfData && !slot_; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto const* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME const*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char const*>(byName->Name), function) == 0)
                    slot_ = &slots->u1.Function;
            }
        }
        if (slot_) {
            original_ = *slot_;
            Write(reinterpret_cast<ULONG_PTR>(replacement));
        }
    }
    ~ImportReplacement()
    {
        if (slot_)
            Write(original_);
    }
    ImportReplacement(ImportReplacement const&) = delete;
    ImportReplacement& operator=(ImportReplacement const&) = delete;
    explicit operator bool() const { return slot_ != nullptr; }

private:
    void Write(ULONG_PTR value)
    {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }

    decltype(IMAGE_THUNK_DATA::u1.Function)* slot_ = nullptr;
    decltype(IMAGE_THUNK_DATA::u1.Function) original_ = 0;
};

// The folder the replaced folder reads report.
std::string LongFolder;

UINT WINAPI ReportLongFolder(LPSTR buffer, UINT size)
{
    UINT const length = static_cast<UINT>(LongFolder.size());
    if (length >= size)
        return length + 1;
    std::memcpy(buffer, LongFolder.c_str(), length + 1);
    return length;
}

struct FolderCase {
    char const* name;
    char const* folderRead;          // the KERNEL32 function that gives the folder
    std::size_t length;              // of the folder it reports
    void (CCopyFilesDlg::*step)();
    char const* belowFolder;         // a folder the step would make there, or nullptr
};

void PrintTo(FolderCase const& c, std::ostream* out)
{
    *out << c.name;
}

class CopyStepFolder : public testing::TestWithParam<FolderCase> {};

}  // namespace

// The file cannot be copied: it is a failed copy with the destination's message, and nothing
// is made below the folder.
TEST_P(CopyStepFolder, APathThatDoesNotFitIsAFailedCopy)
{
    FolderCase const& c = GetParam();
    LongFolder = "C:\\" + std::string(c.length - 3, 'f');
    ASSERT_EQ(c.length, LongFolder.size());
    ASSERT_TRUE(CreateDirectoryA(LongFolder.c_str(), nullptr)) << GetLastError();
    // The medium's file as the source, from the current directory.
    ASSERT_TRUE(SetCurrentDirectoryA(MediumFolder().c_str()));
    CopyErrorFlag = 0;
    LumivaneChoice = 1;

    std::string message;
    std::thread answer([&] {
        if (auto box = winauto::WaitForMessageBox("Setup Error", 5000, GetCurrentProcessId())) {
            message = box->text;
            winauto::ClickControl(box->hwnd, IDOK);
        }
    });
    CCopyFilesDlg dialog;
    {
        ImportReplacement folderRead(c.folderRead, reinterpret_cast<void*>(&ReportLongFolder));
        EXPECT_TRUE(folderRead) << c.folderRead << " is not imported";
        (dialog.*c.step)();
    }
    answer.join();

    EXPECT_EQ(UnwritableDestination, message);
    EXPECT_EQ(1, CopyErrorFlag);
    if (c.belowFolder) {
        std::string const below = LongFolder + c.belowFolder;
        EXPECT_FALSE(FolderExists(below)) << below;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CopyStepFolder,
    testing::Values(
        // "\tamrix.vxd" is 11 characters: below a folder of 249 the path and its terminator
        // need 261.
        FolderCase{"SystemFolderOf249", "GetSystemDirectoryA", 249, &CCopyFilesDlg::CopyDriverToSystem, nullptr},
        // "\Inf\Other" still fits below 237 characters, "\quellbox.inf" after it does not.
        FolderCase{"WindowsFolderOf237", "GetWindowsDirectoryA", 237, &CCopyFilesDlg::CopyInfToWindows, "\\Inf"},
        FolderCase{"WindowsFolderOf256", "GetWindowsDirectoryA", 256, &CCopyFilesDlg::CopyInfToWindows, nullptr}),
    [](testing::TestParamInfo<FolderCase> const& info) { return std::string(info.param.name); });
