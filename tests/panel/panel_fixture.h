// The real panel inside a real video window on the scripted decoder: the video
// window is made modeless, so that a test can post the panel the messages a
// user's actions produce, pump them, and look at what reached the decoder.
#pragma once
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "framework/app.h"
#include "host/messages.h"
#include "host/video_dlg.h"
#include "res/resource.h"
#include "tests/fakes/fake_decoder.h"
#include "tests/panel/panel_view.h"
#include "tests/support/test_support.h"

class PanelTest : public ::testing::Test {
protected:
    using Calls = std::vector<std::string>;

    void SetUp() override
    {
        AfxEnableControlContainer();
        ASSERT_EQ(S_OK, registration.Status());
        app.m_pMainWnd = &video;
        if (!startPath.empty()) video.SetCommandLinePath(startPath.c_str());
        ASSERT_TRUE(video.Create(IDD_VIDEO, nullptr));
        decoder = fakes::FakeDecoder::Last();
        ASSERT_TRUE(decoder);
        ASSERT_TRUE(panel.IsWindow());
    }
    void TearDown() override
    {
        if (video.IsWindow()) video.DestroyWindow();
        app.m_pMainWnd = nullptr;
    }

    HWND Item(int id) const { return GetDlgItem(panel.m_hWnd, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // The text of item i of a list, and of its selected item ("" for none).
    std::string ListText(int id, int i) const
    {
        char text[256] = "";
        if (SendMessageA(Item(id), CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof text)) return "";
        SendMessageA(Item(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::string Selected(int id) const
    {
        const int i = static_cast<int>(SendMessageA(Item(id), CB_GETCURSEL, 0, 0));
        return i < 0 ? std::string() : ListText(id, i);
    }
    std::vector<bool> ControlStates() const { return panel_view::ControlStates(panel.m_hWnd); }
    std::string TimeText() const { return panel.TimeText(); }
    // The values of the event graph's bars.
    std::vector<int32_t> Bars() const
    {
        const CBarGraphWnd* graph = panel_view::Graph(panel.m_hWnd);
        if (!graph || !graph->m_pValues) return {};
        return std::vector<int32_t>(graph->m_pValues.get(), graph->m_pValues.get() + graph->m_nCount);
    }
    COLORREF BarColour() const { return panel_view::Graph(panel.m_hWnd)->m_crPen; }
    // The position control stands across the panel, between the graph and the
    // transport buttons, nearly as wide as the panel.
    void ExpectAcrossThePanelBelowTheGraph(HWND control) const
    {
        RECT client;
        GetClientRect(panel.m_hWnd, &client);
        const RECT rc = panel_view::InPanel(panel.m_hWnd, control);
        EXPECT_GT(rc.left, 0);
        EXPECT_LT(rc.left, 20);
        EXPECT_LT(rc.right, client.right);
        EXPECT_GT(rc.right, client.right - 20);
        EXPECT_GE(rc.top, panel_view::InPanel(panel.m_hWnd, Item(IDC_GRAPH)).bottom);
        EXPECT_LE(rc.bottom, panel_view::InPanel(panel.m_hWnd, Item(IDC_PLAY)).top);
    }
    // An event block as the decoder delivers it, for the files opened from now on.
    template <class Block> void DeliverBlock(DISPID member, const Block& block)
    {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&block);
        decoder->SetEventBlock(member, std::vector<BYTE>(bytes, bytes + sizeof block));
    }
    // Chooses item i of a list as the user does: the selection, then the notification.
    void Choose(int id, int i)
    {
        SendMessageA(Item(id), CB_SETCURSEL, i, 0);
        PostMessageA(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(id)));
        testing_support::PumpMessages();
    }

    testing_support::ComScope com;
    fakes::FakeDecoderRegistration registration;
    CWinApp app{"Vorplex"};
    testing_support::MessageBoxRecorder boxes;
    testing_support::OpenFileAnswer openFile;  // cancels unless given a path
    CVideoDlg video;
    CPanelDlg& panel = video.Panel();
    fakes::FakeDecoder* decoder = nullptr;
    std::string startPath;  // a command-line path, set before SetUp
};
