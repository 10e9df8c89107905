// A test with COM (an OLE apartment on the test's thread) and the fake decoder
// registered under CLSID_DvrControl.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <gtest/gtest.h>
#include <wrl/client.h>
#include <memory>
#include "tests/fakes/fake_decoder.h"

using Microsoft::WRL::ComPtr;

class ComTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, OleInitialize(nullptr));
        m_registration = std::make_unique<fakes::FakeDecoderRegistration>();
        ASSERT_EQ(S_OK, m_registration->Status());
    }
    void TearDown() override
    {
        m_registration.reset();
        OleUninitialize();
    }

    // A new decoder through COM, as the player creates it; *ppFake is its fake.
    ComPtr<IDispatch> CreateDecoder(fakes::FakeDecoder** ppFake = nullptr)
    {
        ComPtr<IDispatch> decoder;
        EXPECT_EQ(S_OK, CoCreateInstance(CLSID_DvrControl, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IDvrControl, reinterpret_cast<void**>(decoder.GetAddressOf())));
        if (ppFake)
            *ppFake = fakes::FakeDecoder::Last();
        return decoder;
    }

private:
    std::unique_ptr<fakes::FakeDecoderRegistration> m_registration;
};

// Runs the thread's pending messages.
inline void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
