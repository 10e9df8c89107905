#pragma once
#define IDD_TEST_PLAIN   900
#define IDC_TEST_EDIT    901
#define IDD_TEST_HOSTED  920
#define IDC_TEST_CONTROL 921
#define IDD_TEST_MISSING 930
