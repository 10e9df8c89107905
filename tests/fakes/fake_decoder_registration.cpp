#include "framework/axserver/class_factory.h"
#include "tests/fakes/fake_decoder.h"

namespace fakes {

FakeDecoderRegistration::FakeDecoderRegistration()
{
    auto* pFactory = new CAxClassFactory<FakeDecoder>();
    m_hr = CoRegisterClassObject(CLSID_DvrControl, pFactory, CLSCTX_INPROC_SERVER,
                                 REGCLS_MULTIPLEUSE, &m_dwCookie);
    pFactory->Release();  // COM holds it while registered
}

FakeDecoderRegistration::~FakeDecoderRegistration()
{
    if (SUCCEEDED(m_hr))
        CoRevokeClassObject(m_dwCookie);
}

}  // namespace fakes
