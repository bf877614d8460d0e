// The installer's application: the wizard's dialogs in their order around the copy,
// registration and settings steps. Everything happens in the start-up routine; there is no
// main window.
#pragma once

#include "framework.h"

class CSetupApp : public CWinApp {
public:
    char const* GetRuntimeClassName() const override { return "CSetupApp"; }
    // The whole installation; FALSE always, so the program ends when it is done.
    BOOL InitInstance() override;
};
