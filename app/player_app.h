// The application object: makes sure the decoder control can be created, hands
// the command line to the video window, and runs it. Closing the video window
// ends the program; there is no message loop of its own.
#pragma once
#include "framework/app.h"

class CPlayerApp : public CWinApp {
public:
    CPlayerApp() = default;
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern const char kDecoderMissingText[];
