#include "app/player_app.h"
#include <objbase.h>
#include <wrl/client.h>
#include "app/file_association.h"
#include "decoder/dvrctl.h"
#include "framework/com_scope.h"
#include "framework/msgbox.h"
#include "host/path_limits.h"
#include "host/video_dlg.h"

const char kDecoderMissingText[] = "Unable to start Vorplex.exe, reason:\nDVR Control is not registered";

BEGIN_MESSAGE_MAP(CPlayerApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

// Whether the decoder control can be made at all; the instance is not kept.
static bool ProbeDecoder()
{
    Microsoft::WRL::ComPtr<IUnknown> decoder;
    return CoCreateInstance(CLSID_DvrControl, nullptr, CLSCTX_INPROC_SERVER, IID_IDvrControl,
                            reinterpret_cast<void**>(decoder.GetAddressOf())) == S_OK;
}

BOOL CPlayerApp::InitInstance()
{
    AfxEnableControlContainer();
    fw::Enable3dControlsStatic();
    // Before the video window: COM goes after it, and on every way out.
    fw::CComScope com;

    if (!ProbeDecoder()) {
        fw::AppMessageBox(kDecoderMissingText, MB_OK | MB_ICONHAND);
        return FALSE;
    }
    CheckFileAssociations();

    CVideoDlg dlg;
    m_pMainWnd = &dlg;
    if (m_lpCmdLine && m_lpCmdLine[0]) dlg.SetCommandLinePath(m_lpCmdLine);
    dlg.DoModal();  // OK, Cancel or -1: the same way out
    m_pMainWnd = nullptr;
    return FALSE;
}
