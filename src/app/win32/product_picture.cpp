#include "app/win32/product_picture.h"

#include <array>
#include <cstring>

#include "app/win32/fonts.h"

namespace zeb::ui {

namespace {

struct Node {
  int x;
  int y;
};

// A directory tree: a root, two containers, four leaves; the third leaf is an alias that
// points at the second.
constexpr Node kRoot{150, 150};
constexpr std::array<Node, 2> kContainers = {{{85, 210}, {215, 210}}};
constexpr std::array<Node, 4> kLeaves = {{{45, 275}, {120, 275}, {180, 275}, {255, 275}}};
constexpr int kNodeRadius = 13;
constexpr std::size_t kAliasLeaf = 2;
constexpr std::size_t kAliasTarget = 1;

constexpr COLORREF kDeepBlue = RGB(10, 36, 106);
constexpr COLORREF kSkyBlue = RGB(166, 202, 240);
constexpr COLORREF kGold = RGB(255, 204, 0);

COLORREF Blend(COLORREF from, COLORREF to, int step, int steps) {
  const auto mix = [&](int a, int b) { return a + (b - a) * step / steps; };
  return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
             mix(GetBValue(from), GetBValue(to)));
}

void FillSolid(HDC dc, const RECT& area, COLORREF colour) {
  const Brush brush(CreateSolidBrush(colour));
  FillRect(dc, &area, brush.get());
}

void DrawSky(HDC dc) {
  FillSolid(dc, RECT{0, 0, kPictureWidth, kPictureHeight}, kWhite);
  constexpr int kBand = 4;
  for (int top = 0; top < kPictureWhiteFrom; top += kBand)
    FillSolid(dc, RECT{0, top, kPictureWidth, top + kBand},
              Blend(kDeepBlue, kSkyBlue, top, kPictureWhiteFrom));
  FillSolid(dc, RECT{0, kPictureWhiteFrom - 3, kPictureWidth, kPictureWhiteFrom}, kRed);
}

void DrawCentredText(HDC dc, const char* text, int height, int weight, COLORREF colour,
                     int top, int bottom) {
  const Font font(CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              DEFAULT_PITCH | FF_SWISS, "Tahoma"));
  const Selection selected(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  RECT area{0, top, kPictureWidth, bottom};
  DrawTextA(dc, text, static_cast<int>(std::strlen(text)), &area,
            DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void Link(HDC dc, const Node& from, const Node& to) {
  MoveToEx(dc, from.x, from.y, nullptr);
  LineTo(dc, to.x, to.y);
}

void DrawNode(HDC dc, const Node& node, COLORREF fill, int penStyle) {
  const Pen pen(CreatePen(penStyle, 1, kDeepBlue));
  const Brush brush(CreateSolidBrush(fill));
  const Selection selectedPen(dc, pen.get());
  const Selection selectedBrush(dc, brush.get());
  Ellipse(dc, node.x - kNodeRadius, node.y - kNodeRadius, node.x + kNodeRadius + 1,
          node.y + kNodeRadius + 1);
}

void DrawTree(HDC dc) {
  {
    const Pen pen(CreatePen(PS_SOLID, 2, kWhite));
    const Selection selected(dc, pen.get());
    for (const Node& container : kContainers) Link(dc, kRoot, container);
    for (std::size_t i = 0; i < kLeaves.size(); ++i) Link(dc, kContainers[i / 2], kLeaves[i]);
  }
  DrawNode(dc, kRoot, kWhite, PS_SOLID);
  for (const Node& container : kContainers) DrawNode(dc, container, kWhite, PS_SOLID);
  for (std::size_t i = 0; i < kLeaves.size(); ++i)
    DrawNode(dc, kLeaves[i], i == kAliasLeaf ? kGold : kWhite, i == kAliasLeaf ? PS_DOT : PS_SOLID);

  // The alias's arrow, bowed below the leaves, to the object it stands for.
  const Node& alias = kLeaves[kAliasLeaf];
  const Node& target = kLeaves[kAliasTarget];
  const Pen arrowPen(CreatePen(PS_SOLID, 2, kRed));
  const Selection selected(dc, arrowPen.get());
  const int below = alias.y + kNodeRadius + 14;
  const POINT curve[] = {{alias.x, alias.y + kNodeRadius},
                         {alias.x, below},
                         {target.x, below},
                         {target.x, target.y + kNodeRadius + 3}};
  PolyBezier(dc, curve, 4);
  const int tipY = target.y + kNodeRadius + 2;
  MoveToEx(dc, target.x - 5, tipY + 6, nullptr);
  LineTo(dc, target.x, tipY);
  LineTo(dc, target.x + 6, tipY + 7);
}

}  // namespace

Bitmap DrawProductPicture() {
  ScreenDc screen;
  Bitmap picture(CreateCompatibleBitmap(screen.get(), kPictureWidth, kPictureHeight));
  const MemoryDc dc(CreateCompatibleDC(screen.get()));
  const Selection selected(dc.get(), picture.get());
  DrawSky(dc.get());
  DrawCentredText(dc.get(), "ZEB", -64, FW_BOLD, kWhite, 12, 92);
  DrawCentredText(dc.get(), "VRX", -16, FW_BOLD, kGold, 88, 112);
  DrawTree(dc.get());
  DrawCentredText(dc.get(), "Aliases out, real names in.", -13, FW_NORMAL, kWhite, 305, 330);
  return picture;
}

Icon DrawAboutIcon() {
  ScreenDc screen;
  const Bitmap colour(CreateCompatibleBitmap(screen.get(), kIconSize, kIconSize));
  const Bitmap mask(CreateBitmap(kIconSize, kIconSize, 1, 1, nullptr));
  {
    const MemoryDc dc(CreateCompatibleDC(screen.get()));
    const Selection selected(dc.get(), colour.get());
    FillSolid(dc.get(), RECT{0, 0, kIconSize, kIconSize}, RGB(0, 0, 0));
    const Brush blue(CreateSolidBrush(kDeepBlue));
    const Pen rim(CreatePen(PS_SOLID, 1, kGold));
    const Selection selectedBrush(dc.get(), blue.get());
    const Selection selectedPen(dc.get(), rim.get());
    Ellipse(dc.get(), 1, 1, 31, 31);
    const Font font(CreateFontA(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, "Tahoma"));
    const Selection selectedFont(dc.get(), font.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), kGold);
    RECT area{1, 1, 31, 31};
    DrawTextA(dc.get(), "Z", 1, &area, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  }
  {
    // Opaque (0) inside the circle, transparent (1) around it.
    const MemoryDc dc(CreateCompatibleDC(screen.get()));
    const Selection selected(dc.get(), mask.get());
    PatBlt(dc.get(), 0, 0, kIconSize, kIconSize, WHITENESS);
    const Selection black(dc.get(), GetStockObject(BLACK_BRUSH));
    const Selection noPen(dc.get(), GetStockObject(BLACK_PEN));
    Ellipse(dc.get(), 1, 1, 31, 31);
  }
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask.get();
  info.hbmColor = colour.get();
  return Icon(CreateIconIndirect(&info));
}

}  // namespace zeb::ui
