#pragma once
#define IDD_TEST_TIME_ENTRY 300
#define IDC_TEST_MINUTES    230
#define IDC_TEST_SECONDS    231
