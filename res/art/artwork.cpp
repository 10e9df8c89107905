// Draws the program's images: the icon, the button bitmaps and the hand cursor,
// as small 16-colour (cursor: monochrome) files for the resource script. Run by
// the build on the build machine, so every image is reviewable as code.
//
//   artwork OUTDIR   writes OUTDIR/vorplex.ico and the others
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The standard 16-colour palette, in its usual order.
enum Colour : uint8_t {
    Black, Maroon, Green, Olive, Navy, Purple, Teal, Silver,
    Grey, Red, Lime, Yellow, Blue, Fuchsia, Aqua, White,
};
const uint8_t kPalette[16][3] = {  // r, g, b
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},
    {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};
const int kClear = -1;  // transparent (icon and cursor only)

struct Canvas {
    int w, h;
    std::vector<int> px;
    Canvas(int width, int height, int fill) : w(width), h(height), px(width * height, fill) {}
    void Set(int x, int y, int c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[y * w + x] = c;
    }
    int Get(int x, int y) const { return px[y * w + x]; }
    void Fill(int x0, int y0, int x1, int y1, int c) {  // inclusive corners
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Set(x, y, c);
    }
    void Frame(int x0, int y0, int x1, int y1, int c) {
        for (int x = x0; x <= x1; ++x) { Set(x, y0, c); Set(x, y1, c); }
        for (int y = y0; y <= y1; ++y) { Set(x0, y, c); Set(x1, y, c); }
    }
    void Disc(double cx, double cy, double r, int c) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r) Set(x, y, c);
    }
};

void Put16(std::string& out, uint16_t v) { out += char(v & 0xFF); out += char(v >> 8); }
void Put32(std::string& out, uint32_t v) { Put16(out, v & 0xFFFF); Put16(out, v >> 16); }

// BITMAPINFOHEADER, palette and bottom-up rows of a 4-bit image; transparent pixels as black.
std::string Dib4(const Canvas& c, int heightInHeader) {
    std::string out;
    int rowBytes = ((c.w * 4 + 31) / 32) * 4;
    Put32(out, 40); Put32(out, c.w); Put32(out, heightInHeader); Put16(out, 1); Put16(out, 4);
    Put32(out, 0); Put32(out, rowBytes * c.h); Put32(out, 0); Put32(out, 0); Put32(out, 16); Put32(out, 0);
    for (auto& p : kPalette) { out += char(p[2]); out += char(p[1]); out += char(p[0]); out += char(0); }
    for (int y = c.h - 1; y >= 0; --y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < c.w; ++x) {
            int v = c.Get(x, y) < 0 ? 0 : c.Get(x, y);
            row[x / 2] |= char(x % 2 ? v : v << 4);
        }
        out += row;
    }
    return out;
}

// The AND mask of an icon or cursor: 1 where the image is transparent.
std::string Mask(const Canvas& c) {
    std::string out;
    int rowBytes = ((c.w + 31) / 32) * 4;
    for (int y = c.h - 1; y >= 0; --y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < c.w; ++x)
            if (c.Get(x, y) == kClear) row[x / 8] |= char(0x80 >> (x % 8));
        out += row;
    }
    return out;
}

bool Write(const std::string& path, const std::string& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

std::string Icon(const Canvas& c) {
    std::string image = Dib4(c, c.h * 2) + Mask(c);
    std::string out;
    Put16(out, 0); Put16(out, 1); Put16(out, 1);  // reserved, type icon, one image
    out += char(c.w); out += char(c.h); out += char(16); out += char(0);
    Put16(out, 1); Put16(out, 4); Put32(out, image.size()); Put32(out, 6 + 16);
    return out + image;
}

// The program's icon: a surveillance camera on its bracket, with a red recording light.
Canvas DrawIcon() {
    Canvas c(32, 32, kClear);
    c.Fill(3, 9, 22, 19, Silver);      // body
    c.Frame(3, 9, 22, 19, Black);
    c.Fill(4, 17, 21, 18, Grey);       // shade under the body
    c.Fill(23, 10, 28, 18, Grey);      // lens hood
    c.Frame(23, 10, 28, 18, Black);
    c.Disc(26.0, 14.5, 2.6, Navy);     // lens
    c.Disc(25.5, 13.8, 0.9, Aqua);     // glint
    c.Disc(7.0, 12.5, 1.6, Red);       // recording light
    c.Fill(11, 20, 13, 25, Grey);      // bracket
    c.Frame(11, 20, 13, 25, Black);
    c.Fill(6, 26, 18, 28, Grey);       // wall plate
    c.Frame(6, 26, 18, 28, Black);
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artwork OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (!Write(dir + "/vorplex.ico", Icon(DrawIcon()))) {
        std::fprintf(stderr, "artwork: cannot write to %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
