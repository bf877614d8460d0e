// The tray utility's application object: whether the program runs at all, and its About box.
#pragma once

#include "framework.h"

class CTrayApp : public CWinApp {
public:
    char const* GetRuntimeClassName() const override { return "CTrayApp"; }
    BOOL InitInstance() override;
    bool OnCommand(UINT id) override;

private:
    void OnAppAbout();
};

// Removes the registration of the mouse property-sheet handler, which only works while one
// of the package's mouse drivers is active.
void RemoveHandlerRegistration();
