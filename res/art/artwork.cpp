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
// clang-format off
enum Colour : uint8_t {
    Black, Maroon, Green, Olive, Navy, Purple, Teal, Silver,
    Grey, Red, Lime, Yellow, Blue, Fuchsia, Aqua, White,
};
const uint8_t kPalette[16][3] = {  // r, g, b
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},
    {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};
// clang-format on
const int kClear = -1;  // transparent (icon and cursor only)

struct Canvas {
    int w, h;
    std::vector<int> px;
    Canvas(int width, int height, int fill) : w(width), h(height), px(width * height, fill) {}
    void Set(int x, int y, int c)
    {
        if (x >= 0 && y >= 0 && x < w && y < h) px[y * w + x] = c;
    }
    int Get(int x, int y) const { return px[y * w + x]; }
    void Fill(int x0, int y0, int x1, int y1, int c)
    {  // inclusive corners
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Set(x, y, c);
    }
    void Frame(int x0, int y0, int x1, int y1, int c)
    {
        for (int x = x0; x <= x1; ++x) {
            Set(x, y0, c);
            Set(x, y1, c);
        }
        for (int y = y0; y <= y1; ++y) {
            Set(x0, y, c);
            Set(x1, y, c);
        }
    }
    void Disc(double cx, double cy, double r, int c)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r) Set(x, y, c);
    }
};

void Put16(std::string& out, uint16_t v)
{
    out += char(v & 0xFF);
    out += char(v >> 8);
}
void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// BITMAPINFOHEADER, palette and bottom-up rows of a 4-bit image; transparent pixels as black.
std::string Dib4(const Canvas& c, int heightInHeader)
{
    std::string out;
    int rowBytes = ((c.w * 4 + 31) / 32) * 4;
    Put32(out, 40);
    Put32(out, c.w);
    Put32(out, heightInHeader);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, rowBytes * c.h);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 16);
    Put32(out, 0);
    for (auto& p : kPalette) {
        out += char(p[2]);
        out += char(p[1]);
        out += char(p[0]);
        out += char(0);
    }
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
std::string Mask(const Canvas& c)
{
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

bool Write(const std::string& path, const std::string& data)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

std::string Icon(const Canvas& c)
{
    std::string image = Dib4(c, c.h * 2) + Mask(c);
    std::string out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);  // reserved, type icon, one image
    out += char(c.w);
    out += char(c.h);
    out += char(16);
    out += char(0);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, image.size());
    Put32(out, 6 + 16);
    return out + image;
}

// The program's icon: a surveillance camera on its bracket, with a red recording light.
Canvas DrawIcon()
{
    Canvas c(32, 32, kClear);
    c.Fill(3, 9, 22, 19, Silver);  // body
    c.Frame(3, 9, 22, 19, Black);
    c.Fill(4, 17, 21, 18, Grey);   // shade under the body
    c.Fill(23, 10, 28, 18, Grey);  // lens hood
    c.Frame(23, 10, 28, 18, Black);
    c.Disc(26.0, 14.5, 2.6, Navy);  // lens
    c.Disc(25.5, 13.8, 0.9, Aqua);  // glint
    c.Disc(7.0, 12.5, 1.6, Red);    // recording light
    c.Fill(11, 20, 13, 25, Grey);   // bracket
    c.Frame(11, 20, 13, 25, Black);
    c.Fill(6, 26, 18, 28, Grey);  // wall plate
    c.Frame(6, 26, 18, 28, Black);
    return c;
}

std::string BitmapFile(const Canvas& c)
{
    std::string dib = Dib4(c, c.h);
    std::string out = "BM";
    Put32(out, 14 + dib.size());
    Put32(out, 0);
    Put32(out, 14 + 40 + 16 * 4);
    return out + dib;
}

// A monochrome cursor: Black and White pixels, the rest transparent.
std::string CursorFile(const Canvas& c, int hotX, int hotY)
{
    std::string image;
    const int rowBytes = ((c.w + 31) / 32) * 4;
    Put32(image, 40);
    Put32(image, c.w);
    Put32(image, c.h * 2);
    Put16(image, 1);
    Put16(image, 1);
    Put32(image, 0);
    Put32(image, rowBytes * c.h * 2);
    Put32(image, 0);
    Put32(image, 0);
    Put32(image, 2);
    Put32(image, 0);
    image += std::string("\0\0\0\0", 4);
    image += std::string("\xFF\xFF\xFF\0", 4);
    for (int y = c.h - 1; y >= 0; --y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < c.w; ++x)
            if (c.Get(x, y) == White) row[x / 8] |= char(0x80 >> (x % 8));
        image += row;
    }
    image += Mask(c);
    std::string out;
    Put16(out, 0);
    Put16(out, 2);
    Put16(out, 1);  // reserved, type cursor, one image
    out += char(c.w);
    out += char(c.h);
    out += char(0);
    out += char(0);
    Put16(out, hotX);
    Put16(out, hotY);
    Put32(out, image.size());
    Put32(out, 6 + 16);
    return out + image;
}

// Button images: 16 x 16 on the button face.
Canvas Button() { return Canvas(16, 16, Silver); }

Canvas DrawStop()
{
    Canvas c = Button();
    c.Fill(4, 4, 11, 11, Black);
    return c;
}

void Triangle(Canvas& c, int x0, int x1, int cy, int colour)
{  // pointing right
    for (int x = x0; x <= x1; ++x) {
        int half = (x1 - x) * 5 / (x1 - x0 + 1) + 0;
        for (int y = cy - half - 1; y <= cy + half; ++y) c.Set(x, y, colour);
    }
}

Canvas DrawPlay()
{
    Canvas c = Button();
    Triangle(c, 5, 11, 8, Black);
    return c;
}

Canvas DrawStep()
{
    Canvas c = Button();
    c.Fill(3, 3, 4, 12, Black);
    Triangle(c, 7, 12, 8, Black);
    return c;
}

Canvas DrawPause()
{
    Canvas c = Button();
    c.Fill(4, 3, 6, 12, Black);
    c.Fill(9, 3, 11, 12, Black);
    return c;
}

Canvas DrawSource()
{  // a camera
    Canvas c = Button();
    c.Fill(2, 5, 10, 11, Grey);
    c.Frame(2, 5, 10, 11, Black);
    c.Fill(11, 6, 13, 10, Black);  // lens
    c.Fill(4, 7, 5, 8, Red);       // light
    c.Fill(5, 12, 6, 14, Black);   // stand
    return c;
}

Canvas DrawOpen()
{  // an opening folder
    Canvas c = Button();
    c.Fill(1, 4, 5, 5, Olive);    // tab
    c.Fill(1, 5, 12, 13, Olive);  // back
    c.Frame(1, 5, 12, 13, Black);
    for (int y = 8; y <= 13; ++y)  // the front, tilted open
        for (int x = 3 + (13 - y) / 2; x <= 14 - (13 - y) / 2 + 0; ++x) c.Set(x, y, Yellow);
    for (int x = 5; x <= 14; ++x) c.Set(x, 8, Black);
    for (int x = 3; x <= 13; ++x) c.Set(x, 13, Black);
    return c;
}

Canvas DrawGrid(int n)
{  // a frame of n x n cells
    Canvas c = Button();
    c.Fill(2, 2, 13, 13, Teal);
    c.Frame(2, 2, 13, 13, Navy);
    for (int i = 1; i < n; ++i) {
        int at = 2 + i * 11 / n;
        for (int k = 2; k <= 13; ++k) {
            c.Set(at, k, Navy);
            c.Set(k, at, Navy);
        }
    }
    return c;
}

// A pointing hand, the tip of the raised finger at (12, 5).
Canvas DrawHand()
{
    Canvas c(32, 32, kClear);
    c.Fill(11, 5, 13, 17, White);   // raised finger
    c.Fill(14, 11, 21, 17, White);  // folded fingers
    c.Fill(8, 16, 21, 25, White);   // palm
    c.Fill(7, 14, 9, 19, White);    // thumb
    c.Frame(11, 5, 13, 17, Black);
    c.Frame(14, 11, 16, 17, Black);
    c.Frame(17, 12, 19, 17, Black);
    c.Frame(19, 13, 21, 17, Black);
    c.Frame(7, 14, 9, 19, Black);
    c.Frame(8, 17, 21, 25, Black);
    c.Fill(12, 5, 12, 5, Black);  // the hot spot is on the outline, so it shows
    return c;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: artwork OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const struct {
        const char* name;
        std::string data;
    } files[] = {
        {"vorplex.ico", Icon(DrawIcon())},
        {"hand.cur", CursorFile(DrawHand(), 12, 5)},
        {"stop.bmp", BitmapFile(DrawStop())},
        {"play.bmp", BitmapFile(DrawPlay())},
        {"source.bmp", BitmapFile(DrawSource())},
        {"step.bmp", BitmapFile(DrawStep())},
        {"pause.bmp", BitmapFile(DrawPause())},
        {"open.bmp", BitmapFile(DrawOpen())},
        {"split1.bmp", BitmapFile(DrawGrid(1))},
        {"split4.bmp", BitmapFile(DrawGrid(2))},
        {"split8.bmp", BitmapFile(DrawGrid(3))},
        {"split16.bmp", BitmapFile(DrawGrid(4))},
    };
    bool ok = true;
    for (const auto& f : files) ok = Write(dir + "/" + f.name, f.data) && ok;
    if (!ok) {
        std::fprintf(stderr, "artwork: cannot write to %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
