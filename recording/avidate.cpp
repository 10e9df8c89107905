#include "recording/avidate.h"

#include <cstdio>
#include <cstring>

namespace rec {

static bool valid(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return y >= 1900 && y <= 9999 && mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h >= 0 && h < 24 &&
           mi >= 0 && mi < 60 && s >= 0 && s < 61 && ms >= 0 && ms < 1000;
}

static bool fill(StartTime& out, int y, int mo, int d, int h, int mi, int s, int ms)
{
    if (!valid(y, mo, d, h, mi, s, ms)) return false;
    if (s == 60) s = 59;  // a leap second stays inside the day
    out.year = y;
    out.month = mo;
    out.day = d;
    out.msOfDay = ((h * 60 + mi) * 60 + s) * 1000 + ms;
    return true;
}

bool parseAviDate(const std::string& text, StartTime& out)
{
    // Bounded copy: sscanf must not meet an endless field.
    char buf[80];
    size_t n = text.size() < sizeof buf - 1 ? text.size() : sizeof buf - 1;
    std::memcpy(buf, text.data(), n);
    buf[n] = 0;
    const char* p = buf;
    while (*p == ' ') p++;

    int y, mo, d, h = 0, mi = 0, s = 0;
    char sep1, sep2;
    int used = 0;
    if (std::sscanf(p, "%4d%c%2d%c%2d%n", &y, &sep1, &mo, &sep2, &d, &used) == 5 && sep1 == sep2 &&
        (sep1 == '-' || sep1 == ':' || sep1 == '/')) {
        const char* q = p + used;
        int ms = 0;
        if (*q == ' ' || *q == 'T') {
            int used2 = 0;
            if (std::sscanf(q + 1, "%2d:%2d:%2d%n", &h, &mi, &s, &used2) == 3) {
                const char* f = q + 1 + used2;
                if (*f == '.') {
                    // Fraction of a second, any number of digits: keep milliseconds.
                    int scale = 100;
                    for (f++; *f >= '0' && *f <= '9'; f++) {
                        ms += (*f - '0') * scale;
                        scale /= 10;
                    }
                }
            } else {
                h = mi = s = 0;
            }
        }
        return fill(out, y, mo, d, h, mi, s, ms);
    }

    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    char wd[4], mon[4];
    if (std::sscanf(p, "%3s %3s %2d %2d:%2d:%2d %4d", wd, mon, &d, &h, &mi, &s, &y) == 7) {
        const char* m = std::strstr(kMonths, mon);
        if (!m || std::strlen(mon) != 3 || (m - kMonths) % 3 != 0) return false;
        return fill(out, y, int((m - kMonths) / 3) + 1, d, h, mi, s, 0);
    }
    return false;
}

}  // namespace rec
