// The remover's application: the port dialog, the removal steps in their order, and the
// offer to restart. Everything happens in the start-up routine; there is no main window.
#pragma once

#include "framework.h"

class CRemoverApp : public CWinApp {
public:
    char const* GetRuntimeClassName() const override { return "CRemoverApp"; }
    BOOL InitInstance() override;

private:
    void RunRemoval();
    void OfferRestart();
    void ShowRemovalNotComplete();
};

// Asks the system to restart; a refused restart is not reported.
void RebootSystem();
