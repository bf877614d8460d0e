// A restart request is observed without ending the test run. ExitWindowsEx ends every program
// with a window in the prefix, so this runs in a fresh copy of the template prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include "machine.h"
#include "winauto.h"

TEST(Restart, RequestReachesTheSentinelAndTheTestGoesOn)
{
    winauto::EndSessionSentinel sentinel;
    ASSERT_TRUE(sentinel.Start(machine::TempPath("restart-sentinel.log")));
    EXPECT_FALSE(sentinel.EndSessionRequested());

    ASSERT_TRUE(ExitWindowsEx(EWX_REBOOT, 0)) << GetLastError();
    EXPECT_TRUE(sentinel.WaitForEndSessionRequest(10000)) << sentinel.Log();
}
