// The proof that the glyphs cut on their left under Wine at 150 % are
// Wine's doing (see docs/wine-glyph-cut.md; run, beside this file, builds
// and runs it): a Windows program with no Qt in it that draws the program's
// captions in the dialog face at 8 points with plain GDI, at the system's
// dots per inch, two ways:
//   "text"   - one TextOutW of a font made for the system's dpi, as any
//              Windows program draws its captions;
//   "glyphs" - glyph by glyph, as Qt's GDI font engine draws them when it
//              scales its windows: the font made for 96 dpi, the system's
//              scale as a world transform, each glyph's box asked of
//              GetGlyphOutline(GGO_METRICS) under that transform, and the
//              glyph drawn by ExtTextOutW into an image of exactly that box.
// For the second way it also draws each glyph into a roomy image and counts
// the glyphs whose ink lies outside the box that GDI gave for them: ink that
// the box would cut. Writes a BMP with both ways and prints the counts.
// Usage: wine-gdi-cut.exe OUT.bmp [FACE]
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static const wchar_t* kText[] = {
    L"Поиск Записать Фамилия Отчество 0123456789",
    L"Абонентская плата Итого Льготы 0% 20% 25% 50%",
};

typedef struct {
  HDC dc;
  HBITMAP bitmap;
  unsigned* pixels;
  int width, height;
} Image;

static Image NewImage(int width, int height) {
  Image image = {0};
  BITMAPINFO info = {0};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  image.dc = CreateCompatibleDC(NULL);
  image.bitmap = CreateDIBSection(image.dc, &info, DIB_RGB_COLORS,
                                  (void**)&image.pixels, NULL, 0);
  SelectObject(image.dc, image.bitmap);
  image.width = width;
  image.height = height;
  for (int i = 0; i < width * height; ++i) image.pixels[i] = 0xffffff;
  SetTextColor(image.dc, RGB(0, 0, 0));
  SetBkMode(image.dc, TRANSPARENT);
  SetTextAlign(image.dc, TA_BASELINE);
  return image;
}

static void FreeImage(Image* image) {
  DeleteDC(image->dc);
  DeleteObject(image->bitmap);
}

static int Dark(unsigned pixel) {
  const int r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
  return (r + g + b) / 3 < 192;
}

static HFONT Font(const wchar_t* face, int height) {
  return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     ANTIALIASED_QUALITY, DEFAULT_PITCH, face);
}

static void SetScale(HDC dc, double scale, double dx, double dy) {
  XFORM xform = {(FLOAT)scale, 0, 0, (FLOAT)scale, (FLOAT)dx, (FLOAT)dy};
  SetGraphicsMode(dc, GM_ADVANCED);
  SetWorldTransform(dc, &xform);
}

static void ResetScale(HDC dc) {
  XFORM identity = {1, 0, 0, 1, 0, 0};
  SetWorldTransform(dc, &identity);
  SetGraphicsMode(dc, GM_COMPATIBLE);
}

// Draws the glyph as Qt does into a box of the size GDI gives, and into a
// roomy image; copies the box onto `out` at (x, baseline). Returns the
// columns of ink left of the box (0 when the box holds it all) and sets the
// glyph's advance.
static int DrawGlyph(HFONT font, double scale, WORD glyph, Image* out, int x,
                     int baseline, int* advance) {
  HDC scratch = CreateCompatibleDC(NULL);
  SetScale(scratch, scale, 0, 0);
  HGDIOBJ old = SelectObject(scratch, font);
  GLYPHMETRICS metrics;
  MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  DWORD result = GetGlyphOutlineW(scratch, glyph, GGO_METRICS | GGO_GLYPH_INDEX,
                                  &metrics, 0, NULL, &identity);
  SelectObject(scratch, old);
  DeleteDC(scratch);
  *advance = metrics.gmCellIncX;
  if (result == GDI_ERROR || metrics.gmBlackBoxX == 0) return 0;
  const int box_w = (int)metrics.gmBlackBoxX, box_h = (int)metrics.gmBlackBoxY;

  // Qt's way: the box alone.
  Image box = NewImage(box_w, box_h);
  SelectObject(box.dc, font);
  SetScale(box.dc, scale, -metrics.gmptGlyphOrigin.x, metrics.gmptGlyphOrigin.y);
  ExtTextOutW(box.dc, 0, 0, ETO_GLYPH_INDEX, NULL, (LPCWSTR)&glyph, 1, NULL);
  ResetScale(box.dc);
  for (int row = 0; row < box_h; ++row) {
    for (int col = 0; col < box_w; ++col) {
      const int ox = x + metrics.gmptGlyphOrigin.x + col;
      const int oy = baseline - metrics.gmptGlyphOrigin.y + row;
      if (ox >= 0 && ox < out->width && oy >= 0 && oy < out->height &&
          Dark(box.pixels[row * box_w + col])) {
        out->pixels[oy * out->width + ox] = box.pixels[row * box_w + col];
      }
    }
  }
  FreeImage(&box);

  // The same glyph with room round it: where is its ink really?
  const int margin = 16;
  Image roomy = NewImage(box_w + 2 * margin, box_h + 2 * margin);
  SelectObject(roomy.dc, font);
  SetScale(roomy.dc, scale, margin - metrics.gmptGlyphOrigin.x,
           margin + metrics.gmptGlyphOrigin.y);
  ExtTextOutW(roomy.dc, 0, 0, ETO_GLYPH_INDEX, NULL, (LPCWSTR)&glyph, 1, NULL);
  ResetScale(roomy.dc);
  int left = roomy.width;
  for (int row = 0; row < roomy.height; ++row) {
    for (int col = 0; col < roomy.width; ++col) {
      if (Dark(roomy.pixels[row * roomy.width + col]) && col < left) left = col;
    }
  }
  FreeImage(&roomy);
  return left < margin ? margin - left : 0;
}

static void WriteBmp(const char* path, const Image* image) {
  FILE* file = fopen(path, "wb");
  if (!file) return;
  BITMAPFILEHEADER header = {0};
  BITMAPINFOHEADER info = {0};
  const DWORD bytes = (DWORD)(image->width * image->height * 4);
  header.bfType = 0x4d42;
  header.bfOffBits = sizeof(header) + sizeof(info);
  header.bfSize = header.bfOffBits + bytes;
  info.biSize = sizeof(info);
  info.biWidth = image->width;
  info.biHeight = -image->height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  fwrite(&header, sizeof(header), 1, file);
  fwrite(&info, sizeof(info), 1, file);
  fwrite(image->pixels, 1, bytes, file);
  fclose(file);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: wine-gdi-cut OUT.bmp [FACE]\n");
    return 2;
  }
  SetProcessDPIAware();
  wchar_t face[LF_FACESIZE] = L"Tahoma";
  if (argc > 2) MultiByteToWideChar(CP_UTF8, 0, argv[2], -1, face, LF_FACESIZE);
  HDC screen = GetDC(NULL);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(NULL, screen);
  const double scale = dpi / 96.0;
  const int line = (int)(24 * scale);
  const int rows = 2 * (int)(sizeof kText / sizeof kText[0]);
  Image out = NewImage((int)(420 * scale), line * rows + line / 2);

  // "text": a font for this dpi, one call.
  HFONT native = Font(face, MulDiv(8, dpi, 72));
  SelectObject(out.dc, native);
  int row = 0;
  for (size_t i = 0; i < sizeof kText / sizeof kText[0]; ++i, ++row) {
    TextOutW(out.dc, 4, line * (row + 1), kText[i], (int)wcslen(kText[i]));
  }

  // "glyphs": Qt's way, the 96-dpi font under the scale.
  HFONT unscaled = Font(face, MulDiv(8, 96, 72));
  HDC indices = CreateCompatibleDC(NULL);
  SelectObject(indices, unscaled);
  int glyphs = 0, cut = 0, worst = 0;
  for (size_t i = 0; i < sizeof kText / sizeof kText[0]; ++i, ++row) {
    const int length = (int)wcslen(kText[i]);
    WORD* ids = calloc((size_t)length, sizeof(WORD));
    GetGlyphIndicesW(indices, kText[i], length, ids, 0);
    int x = 4;
    for (int k = 0; k < length; ++k) {
      int advance = 0;
      const int lost =
          DrawGlyph(unscaled, scale, ids[k], &out, x, line * (row + 1), &advance);
      if (kText[i][k] != L' ') {
        ++glyphs;
        if (lost) ++cut;
        if (lost > worst) worst = lost;
      }
      x += advance;
    }
    free(ids);
  }
  DeleteDC(indices);
  WriteBmp(argv[1], &out);
  printf("%d dpi, %ls %d px: %d of %d glyphs drawn Qt's way lose ink on "
         "their left (up to %d px)\n",
         dpi, face, MulDiv(8, dpi, 72), cut, glyphs, worst);
  return 0;
}
