// The one conversion between ANSI text and wide text: lengths kept, zeros
// inside included, the code page honoured, and null automation strings empty.
#include <gtest/gtest.h>
#include <string>
#include "framework/text.h"
#include "owners/bstr.h"

namespace {

using namespace std::string_literals;

TEST(Text, WidenAndNarrowKeepLengthAndZerosInside)
{
    EXPECT_EQ(L"", fw::Widen(""));
    EXPECT_EQ("", fw::Narrow(L""));
    EXPECT_EQ(L"C:\\rec\\a.d01", fw::Widen("C:\\rec\\a.d01"));
    EXPECT_EQ(L"a\0b"s, fw::Widen("a\0b"s));
    EXPECT_EQ("a\0b"s, fw::Narrow(L"a\0b"s));
}

TEST(Text, TheCodePageGivenIsTheOneUsed)
{
    EXPECT_EQ(L"caf\u00e9", fw::Widen("caf\xe9", 1252));
    EXPECT_EQ("caf\xe9", fw::Narrow(L"caf\u00e9", 1252));
    EXPECT_EQ(L"\u0434", fw::Widen("\xe4", 1251)) << "the same byte, another letter";
    // What the code page cannot say comes out as its default character.
    EXPECT_EQ("?", fw::Narrow(L"\u4e2d", 1252));
}

TEST(Text, AutomationStringsAtTheirStoredLength)
{
    const CScopedBstr withZero(SysAllocStringLen(L"ab\0cd", 5));
    EXPECT_EQ("ab\0cd"s, fw::BstrToAnsi(withZero));
    EXPECT_EQ("", fw::BstrToAnsi(nullptr));

    const CScopedBstr fromText(fw::AnsiToBstr("2024-03-01\t12:34:56.789"s));
    ASSERT_NE(nullptr, fromText.Get());
    EXPECT_EQ(23u, SysStringLen(fromText));
    EXPECT_STREQ(L"2024-03-01\t12:34:56.789", fromText);

    // A null text is an empty string, not a null one: a callee may read it.
    const CScopedBstr empty(fw::AnsiToBstr(static_cast<const char*>(nullptr)));
    ASSERT_NE(nullptr, empty.Get());
    EXPECT_EQ(0u, SysStringLen(empty));
}

}  // namespace
