// A path's folder, name and stem, with either slash, in narrow and wide text.
#include "domain/file_path.h"

#include <gtest/gtest.h>

using namespace domain;

TEST(FilePath, EitherSlashEndsTheFolderAndOnlyTheLastDotTheStem)
{
    const std::string path = "C:\\video/yard.2024.d01";
    EXPECT_EQ("C:\\video/", FolderOf(path));
    EXPECT_EQ("yard.2024.d01", NameOf(path));
    EXPECT_EQ("yard.2024", StemOf(path));
    EXPECT_EQ("", FolderOf(std::string("yard.d01")));
    EXPECT_EQ("/", FolderOf(std::string("/yard")));
    EXPECT_EQ("yard", StemOf(std::string("/yard")));
    EXPECT_EQ(".hidden", StemOf(std::string("/tmp/.hidden"))) << "a leading dot is not an extension";
    EXPECT_EQ("", NameOf(std::string("/tmp/"))) << "a folder alone has no name";
    EXPECT_EQ(L"D:\\caméras\\", FolderOf(std::wstring(L"D:\\caméras\\été.d01")));
    EXPECT_EQ(L"été", StemOf(std::wstring(L"D:\\caméras\\été.d01")));
}
