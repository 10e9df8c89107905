#include <windows.h>
#include <gtest/gtest.h>
TEST(Smoke, Window) { HWND h = CreateWindowA("STATIC","x",WS_OVERLAPPEDWINDOW,0,0,100,100,0,0,0,0); EXPECT_TRUE(h!=0); DestroyWindow(h);}
TEST(Smoke, Two) { EXPECT_EQ(1,1);}
