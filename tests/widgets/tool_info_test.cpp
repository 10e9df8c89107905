// The tooltip's tool record against the common controls a process really
// gets: the older ones without a manifest, version 6 under one that asks.
#include <gtest/gtest.h>
#include <fstream>
#include <string>
#include "widgets/tool_info.h"

namespace {

// Whether a tooltip of the common controls in use takes the record.
bool TooltipTakes(TOOLINFOA tool)
{
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!tip) return false;
    RECT rc = {0, 0, 10, 10};
    tool.hwnd = tip;
    tool.uId = 1;
    tool.rect = rc;
    tool.lpszText = const_cast<char*>("tip");
    const bool added = SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
    const bool counted = SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) == 1;
    DestroyWindow(tip);
    return added && counted;
}

// An activation context asking for version 6, as the program's manifest does.
HANDLE CommonControls6Context()
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    const std::string path = std::string(dir) + "vorplex-comctl6-" + std::to_string(GetCurrentProcessId()) + ".manifest";
    std::ofstream(path) << "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><dependency>"
                           "<dependentAssembly><assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
                           "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" "
                           "language=\"*\"/></dependentAssembly></dependency></assembly>";
    ACTCTXA ctx = {};
    ctx.cbSize = sizeof ctx;
    ctx.lpSource = path.c_str();
    HANDLE h = CreateActCtxA(&ctx);
    DeleteFileA(path.c_str());
    return h;
}

TEST(ToolInfo, SizedForTheCommonControlsInUseAndTaken)
{
    LoadLibraryA("comctl32.dll");
    const DWORD plain = widgets::CommonControlsMajorVersion();
    EXPECT_GE(plain, 5u);
    EXPECT_LT(plain, 6u) << "no manifest: the older controls";
    EXPECT_EQ(UINT(TTTOOLINFOA_V2_SIZE), widgets::NewToolInfo().cbSize);
    EXPECT_TRUE(TooltipTakes(widgets::NewToolInfo()));

    HANDLE ctx = CommonControls6Context();
    ASSERT_NE(INVALID_HANDLE_VALUE, ctx);
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(ctx, &cookie));
    HMODULE v6 = LoadLibraryA("comctl32.dll");
    // Windows' version 6 says 6; Wine's says 5.81, and takes either size.
    const DWORD version = widgets::CommonControlsMajorVersion();
    EXPECT_GE(version, 5u);
    EXPECT_EQ(widgets::ToolInfoSize(version), widgets::NewToolInfo().cbSize);
    EXPECT_TRUE(TooltipTakes(widgets::NewToolInfo()));
    EXPECT_EQ(UINT(sizeof(TOOLINFOA)), widgets::ToolInfoSize(6));
    DeactivateActCtx(0, cookie);
    if (v6) FreeLibrary(v6);
    ReleaseActCtx(ctx);
}

}  // namespace
