#pragma once
#define IDD_SLIDER_HOST 960
