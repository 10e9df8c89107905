// The persisted-property stream: its format, and the control's Load and Save.
#include "framework/axserver/property_stream.h"
#include "tests/axserver/com_fixture.h"

using fakes::FakeDecoder;
using fakes::kDecoderPersistedStream;

namespace {

const std::vector<BYTE> kStream(kDecoderPersistedStream,
                                kDecoderPersistedStream + sizeof(kDecoderPersistedStream));

ComPtr<IStream> StreamOf(const std::vector<BYTE>& bytes)
{
    ComPtr<IStream> stream;
    EXPECT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    ULONG nWritten = 0;
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &nWritten);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return stream;
}

std::vector<BYTE> ContentsOf(IStream* stream)
{
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG nRead = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &nRead);
    return bytes;
}

bool Parses(const std::vector<BYTE>& bytes)
{
    CPersistedProperties props;
    return ParsePersistedProperties(bytes.data(), bytes.size(), &props);
}

}  // namespace

TEST(PropertyStream, DecoderStreamReadsAsItsNineValues)
{
    CPersistedProperties props;
    ASSERT_TRUE(ParsePersistedProperties(kStream.data(), kStream.size(), &props));
    EXPECT_EQ(0x0300u, props.dwVersion);
    EXPECT_EQ(8890, props.extent.cx);
    EXPECT_EQ(6509, props.extent.cy);
    ASSERT_EQ(9u, props.values.size());
    const std::vector<BYTE> zeroChar = {0, 0};
    const LONG longs[] = {1, 0, 1, -1, 4, 0, -1, -1, -1};  // -1: a string
    const size_t textBytes[] = {0, 0, 0, 2, 0, 0, 0, 2, 2};
    for (size_t i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        if (longs[i] >= 0) {
            EXPECT_EQ(VT_I4, props.values[i].vt);
            EXPECT_EQ(longs[i], props.values[i].nValue);
        } else {
            EXPECT_EQ(VT_BSTR, props.values[i].vt);
            EXPECT_EQ(textBytes[i], props.values[i].text.size());
        }
    }
    EXPECT_EQ(zeroChar, props.values[3].text);
}

TEST(PropertyStream, WritesBackTheBytesItRead)
{
    CPersistedProperties props;
    ASSERT_TRUE(ParsePersistedProperties(kStream.data(), kStream.size(), &props));
    EXPECT_EQ(kStream, SerializePersistedProperties(props));
}

TEST(PropertyStream, RefusesEveryCutInsideAValueAndAnyBadField)
{
    // Cuts at a value's end leave a shorter but whole stream; all others are damaged.
    const size_t valueEnds[] = {16, 22, 28, 34, 42, 48, 54, 60, 68, 76};
    for (size_t n = 0; n < kStream.size(); ++n) {
        bool bAtEnd = std::find(std::begin(valueEnds), std::end(valueEnds), n) != std::end(valueEnds);
        EXPECT_EQ(bAtEnd, Parses(std::vector<BYTE>(kStream.begin(), kStream.begin() + n))) << n;
    }

    std::vector<BYTE> nonzeroHead = kStream;
    nonzeroHead[0] = 1;
    EXPECT_FALSE(Parses(nonzeroHead));

    std::vector<BYTE> unknownType = kStream;
    unknownType[16] = VT_R8;
    EXPECT_FALSE(Parses(unknownType));

    std::vector<BYTE> hugeString = kStream;  // the first string's length: 0xFFFFFFFF
    for (size_t i = 36; i < 40; ++i)
        hugeString[i] = 0xFF;
    EXPECT_FALSE(Parses(hugeString));
}

using Persist = ComTest;

TEST_F(Persist, LoadGivesTheControlTheStreamByteForByte)
{
    FakeDecoder* pFake = nullptr;
    ComPtr<IPersistStreamInit> persist;
    CreateDecoder(&pFake).As(&persist);
    ComPtr<IStream> stream = StreamOf(kStream);
    EXPECT_EQ(S_OK, persist->Load(stream.Get()));
    EXPECT_EQ(kStream, pFake->PersistedStream());

    ComPtr<IOleObject> object;
    persist.As(&object);
    SIZEL extent = {};
    EXPECT_EQ(S_OK, object->GetExtent(DVASPECT_CONTENT, &extent));
    EXPECT_EQ(8890, extent.cx);
    EXPECT_EQ(6509, extent.cy);
}

TEST_F(Persist, MalformedStreamsAreRefused)
{
    const std::vector<std::vector<BYTE>> bad = {
        {},
        std::vector<BYTE>(kStream.begin(), kStream.begin() + 15),
        std::vector<BYTE>(kStream.begin(), kStream.end() - 1),
        std::vector<BYTE>(kStream.begin(), kStream.end() - 8),  // whole, but one value short
    };
    for (const std::vector<BYTE>& bytes : bad) {
        SCOPED_TRACE(bytes.size());
        FakeDecoder* pFake = nullptr;
        ComPtr<IPersistStreamInit> persist;
        CreateDecoder(&pFake).As(&persist);
        EXPECT_TRUE(FAILED(persist->Load(StreamOf(bytes).Get())));
        EXPECT_EQ(bytes, pFake->PersistedStream());
    }
}

TEST_F(Persist, SaveWritesWhatWasLoadedAndSizeMaxSaysHowMuch)
{
    ComPtr<IPersistStreamInit> persist;
    CreateDecoder().As(&persist);
    ASSERT_EQ(S_OK, persist->Load(StreamOf(kStream).Get()));

    ULARGE_INTEGER size = {};
    EXPECT_EQ(S_OK, persist->GetSizeMax(&size));
    EXPECT_EQ(kStream.size(), size.QuadPart);
    ComPtr<IStream> out;
    CreateStreamOnHGlobal(nullptr, TRUE, &out);
    EXPECT_EQ(S_OK, persist->Save(out.Get(), TRUE));
    EXPECT_EQ(kStream, ContentsOf(out.Get()));
    EXPECT_EQ(S_FALSE, persist->IsDirty());
}
