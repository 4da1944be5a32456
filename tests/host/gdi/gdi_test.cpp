// SPDX-License-Identifier: MIT
// The drawing layer: results the renderer relies on, checked handles, colours, fault injection and counts.
#include "host/gdi/gdi.h"

#include <gtest/gtest.h>

#include "host/gdi/gdi_host.h"

namespace glimmer::gdi {
namespace {

class GdiTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ResetFaults();
    ResetSysColors();
  }
};

// A memory context with its own bitmap, released at the end of the scope.
struct Canvas {
  Canvas(std::int32_t w, std::int32_t h) {
    dc = CreateCompatibleDC(0);
    bitmap = CreateCompatibleBitmap(dc, w, h);
    old = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  [[nodiscard]] Pixel at(std::int32_t x, std::int32_t y) const { return Pixels(dc).row(y)[x]; }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

void Fill(HDC dc, Rect r, ColorRef colour) {
  const HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, r, brush);
  DeleteObject(brush);
}

TEST_F(GdiTest, FillRectPaintsTheHalfOpenRectangleClippedToTheBitmap) {
  Canvas c(10, 6);
  EXPECT_EQ(c.at(0, 0), MakePixel(0, 0, 0));  // new bitmaps are black
  Fill(c.dc, Rect{8, 4, 20, 20}, ColorRef::FromRgb(1, 2, 3));
  Fill(c.dc, Rect{-5, -5, 1, 1}, ColorRef::FromRgb(9, 9, 9));
  for (std::int32_t y = 0; y < 6; ++y)
    for (std::int32_t x = 0; x < 10; ++x) {
      const Pixel want = (x >= 8 && y >= 4)   ? MakePixel(1, 2, 3)
                         : (x == 0 && y == 0) ? MakePixel(9, 9, 9)
                                              : MakePixel(0, 0, 0);
      EXPECT_EQ(c.at(x, y), want) << x << "," << y;
    }
}

TEST_F(GdiTest, BrushesPaintTheLowTwentyFourBits) {
  Canvas c(2, 1);
  Fill(c.dc, Rect{0, 0, 1, 1}, ColorRef{0x00336699});  // 0x00BBGGRR
  Fill(c.dc, Rect{1, 0, 2, 1}, ColorRef{-1});
  EXPECT_EQ(c.at(0, 0), MakePixel(0x99, 0x66, 0x33));
  EXPECT_EQ(c.at(1, 0), MakePixel(255, 255, 255));
}

TEST_F(GdiTest, BitBltCopiesUnchangedAndLeavesWhatLiesOutsideEitherBitmap) {
  Canvas from(4, 4), to(6, 6);
  Fill(from.dc, Rect{0, 0, 4, 4}, ColorRef::FromRgb(10, 20, 30));
  Fill(from.dc, Rect{3, 3, 4, 4}, ColorRef::FromRgb(40, 50, 60));
  Fill(to.dc, Rect{0, 0, 6, 6}, ColorRef::FromRgb(7, 7, 7));
  EXPECT_NE(BitBlt(to.dc, 2, 2, 10, 10, from.dc, 0, 0, SRCCOPY), 0);  // larger than the source
  EXPECT_EQ(to.at(2, 2), MakePixel(10, 20, 30));
  EXPECT_EQ(to.at(5, 5), MakePixel(40, 50, 60));
  EXPECT_EQ(to.at(1, 1), MakePixel(7, 7, 7));
  EXPECT_EQ(BitBlt(to.dc, -3, -3, 4, 4, from.dc, 0, 0, SRCCOPY),
            1);  // negative destination clips the source too
  EXPECT_EQ(to.at(0, 0), MakePixel(40, 50, 60));
  EXPECT_EQ(BitBlt(to.dc, 0, 0, 4, 4, from.dc, 0, 0, 0x00EE0086 /* SRCPAINT */), 0);
  EXPECT_EQ(to.at(0, 0), MakePixel(40, 50, 60));
}

TEST_F(GdiTest, BitBltWithinOneBitmapReadsThePixelsAsTheyWere) {
  Canvas c(4, 1);
  for (std::int32_t x = 0; x < 4; ++x)
    Fill(c.dc, Rect{x, 0, x + 1, 1}, ColorRef::FromRgb(static_cast<std::uint8_t>(x), 0, 0));
  BitBlt(c.dc, 1, 0, 3, 1, c.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(c.at(1, 0), MakePixel(0, 0, 0));
  EXPECT_EQ(c.at(2, 0), MakePixel(1, 0, 0));
  EXPECT_EQ(c.at(3, 0), MakePixel(2, 0, 0));
}

// What a copy or a fill changed is kept until asked for; a copy counts only the pixels that differed.
TEST_F(GdiTest, DamageIsWhatFillsAndCopiesChanged) {
  Canvas from(6, 3), to(8, 5);
  EXPECT_EQ(TakeDamage(to.dc), Rect{});
  Fill(to.dc, Rect{6, 4, 20, 20}, ColorRef::FromRgb(1, 1, 1));
  EXPECT_EQ(TakeDamage(to.dc), (Rect{6, 4, 8, 5}));
  EXPECT_EQ(TakeDamage(to.dc), Rect{});
  // Both black but for one pixel of the source's middle row: the copy changes that pixel only.
  Fill(from.dc, Rect{4, 1, 5, 2}, ColorRef::FromRgb(9, 9, 9));
  EXPECT_EQ(BitBlt(to.dc, 1, 1, 6, 3, from.dc, 0, 0, SRCCOPY), 1);
  EXPECT_EQ(TakeDamage(to.dc), (Rect{5, 2, 6, 3}));
  EXPECT_EQ(BitBlt(to.dc, 1, 1, 6, 3, from.dc, 0, 0, SRCCOPY), 1);
  EXPECT_EQ(TakeDamage(to.dc), Rect{});
  EXPECT_EQ(to.at(5, 2), MakePixel(9, 9, 9));
  EXPECT_EQ(TakeDamage(HDC{0}), Rect{});
}

TEST_F(GdiTest, StaleForeignAndMistypedHandlesDoNothing) {
  const LiveCounts before = Live();
  Canvas c(3, 3);
  const HBRUSH brush = CreateSolidBrush(ColorRef::FromRgb(255, 0, 0));
  ASSERT_NE(brush, 0);
  ASSERT_EQ(DeleteObject(brush), 1);
  EXPECT_EQ(FillRect(c.dc, Rect{0, 0, 3, 3}, brush), 0);  // stale brush
  EXPECT_EQ(c.at(1, 1), MakePixel(0, 0, 0));
  EXPECT_EQ(DeleteObject(brush), 0);                         // double release
  EXPECT_EQ(FillRect(c.dc, Rect{0, 0, 3, 3}, c.bitmap), 0);  // a bitmap is no brush
  EXPECT_EQ(DeleteObject(c.dc), 0);                          // a context is not an object
  EXPECT_EQ(DeleteDC(c.bitmap), 0);
  EXPECT_EQ(SelectObject(c.dc, brush), 0);
  EXPECT_EQ(CreateCompatibleBitmap(0, 3, 3), 0);  // no context
  EXPECT_EQ(CreateCompatibleDC(c.bitmap), 0);
  for (Handle junk : {-1, 1 << 30, 0x7FFFFFFF, 12345}) {
    EXPECT_EQ(FillRect(junk, Rect{0, 0, 1, 1}, junk), 0);
    EXPECT_EQ(BitBlt(junk, 0, 0, 1, 1, c.dc, 0, 0, SRCCOPY), 0);
    EXPECT_EQ(DeleteObject(junk), 0);
    EXPECT_FALSE(Pixels(junk));
  }
  const HDC gone = CreateCompatibleDC(0);
  DeleteDC(gone);
  const HBRUSH live = CreateSolidBrush(ColorRef{});
  EXPECT_EQ(FillRect(gone, Rect{0, 0, 1, 1}, live), 0);  // stale context
  DeleteObject(live);
  EXPECT_EQ(Live().brushes, before.brushes);
}

TEST_F(GdiTest, ABitmapSelectedInAContextIsNotReleasedNorSelectedTwice) {
  Canvas c(2, 2);
  EXPECT_EQ(DeleteObject(c.bitmap), 0);
  const HDC other = CreateCompatibleDC(0);
  EXPECT_EQ(SelectObject(other, c.bitmap), 0);
  DeleteDC(other);
  EXPECT_TRUE(Pixels(c.dc));
}

TEST_F(GdiTest, DeletingAContextLeavesItsBitmapAliveAndReusable) {
  const HDC dc = CreateCompatibleDC(0);
  const HBITMAP bmp = CreateCompatibleBitmap(dc, 2, 2);
  SelectObject(dc, bmp);
  EXPECT_EQ(DeleteDC(dc), 1);
  const HDC again = CreateCompatibleDC(0);
  EXPECT_NE(SelectObject(again, bmp), 0);
  EXPECT_EQ(DeleteDC(again), 1);
  EXPECT_EQ(DeleteObject(bmp), 1);
}

struct BitmapSize {
  std::int32_t w, h;
  bool made;
};
class BitmapSizes : public GdiTest, public ::testing::WithParamInterface<BitmapSize> {};
TEST_P(BitmapSizes, AreRefusedOutsideTheLimits) {
  const HDC dc = CreateCompatibleDC(0);
  const HBITMAP bmp = CreateCompatibleBitmap(dc, GetParam().w, GetParam().h);
  EXPECT_EQ(bmp != 0, GetParam().made);
  DeleteObject(bmp);
  DeleteDC(dc);
}
INSTANTIATE_TEST_SUITE_P(Sizes, BitmapSizes,
                         ::testing::Values(BitmapSize{1, 1, true}, BitmapSize{251, 32, true},
                                           BitmapSize{0, 32, false}, BitmapSize{32, -1, false},
                                           BitmapSize{16384, 1, true}, BitmapSize{16385, 1, false},
                                           BitmapSize{16384, 16384, false}));

struct Translation {
  std::uint32_t colour;
  std::int32_t result;  // -1: fails
};
class Translations : public GdiTest, public ::testing::WithParamInterface<Translation> {};
TEST_P(Translations, FollowTheColourKinds) {
  ColorRef out{12345};
  const std::int32_t hr = OleTranslateColor(ColorRef{static_cast<std::int32_t>(GetParam().colour)}, 0, &out);
  if (GetParam().result < 0) {
    EXPECT_EQ(hr, E_INVALIDARG);
  } else {
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(out.value, GetParam().result);
  }
}
INSTANTIATE_TEST_SUITE_P(Kinds, Translations,
                         ::testing::Values(Translation{0x00000000, 0}, Translation{0x00FF7700, 0xFF7700},
                                           Translation{0x80000005, 0xFFFFFF},  // window background
                                           Translation{0x80000008, 0x000000},  // window text
                                           Translation{0x8000000F, 0xF0F0F0},  // button face
                                           Translation{0x80000019, -1},        // names no colour
                                           Translation{0x8000001F, -1}, Translation{0x80000100, -1},
                                           Translation{0x02123456, 0x123456},  // palette-relative
                                           Translation{0x01000003, -1},        // palette index
                                           Translation{0xFFFFFFFF, -1}, Translation{0x40000000, -1}));

TEST_F(GdiTest, SystemColoursCanChange) {
  ASSERT_TRUE(SetSysColor(15, ColorRef{0x010203}));
  ColorRef out;
  ASSERT_EQ(OleTranslateColor(ColorRef{static_cast<std::int32_t>(0x8000000F)}, 0, &out), S_OK);
  EXPECT_EQ(out.value, 0x010203);
  EXPECT_FALSE(SetSysColor(31, ColorRef{}));
  EXPECT_FALSE(SetSysColor(-1, ColorRef{}));
}

TEST_F(GdiTest, InjectedFailuresHitTheNthCreationOfTheirKindOnly) {
  FailNthCreation(ObjectKind::Brush, 3);
  const HBRUSH a = CreateSolidBrush(ColorRef{});
  const HDC dc = CreateCompatibleDC(0);  // other kinds do not count
  const HBRUSH b = CreateSolidBrush(ColorRef{});
  const HBRUSH c = CreateSolidBrush(ColorRef{});
  const HBRUSH d = CreateSolidBrush(ColorRef{});
  EXPECT_NE(a, 0);
  EXPECT_NE(b, 0);
  EXPECT_EQ(c, 0);
  EXPECT_NE(d, 0);
  EXPECT_NE(dc, 0);
  for (HGDIOBJ o : {a, b, d})
    DeleteObject(o);
  DeleteDC(dc);
  FailAllCreations(ObjectKind::DC, true);
  EXPECT_EQ(CreateCompatibleDC(0), 0);
  EXPECT_EQ(CreateCompatibleDC(0), 0);
  FailAllCreations(ObjectKind::DC, false);
  const HDC ok = CreateCompatibleDC(0);
  EXPECT_NE(ok, 0);
  DeleteDC(ok);
}

TEST_F(GdiTest, ReservedBrushesCountAsCreationsAndRefuseAnArmedFailure) {
  const LiveCounts live = Live();
  const std::uint64_t start = Creations(ObjectKind::Brush);
  EXPECT_TRUE(ReserveBrushes(10));
  EXPECT_EQ(Creations(ObjectKind::Brush), start + 10);
  EXPECT_EQ(Live(), live);
  FailNthCreation(ObjectKind::Brush, 5);
  EXPECT_FALSE(ReserveBrushes(5));  // the 5th would fail: nothing is accounted
  EXPECT_EQ(Creations(ObjectKind::Brush), start + 10);
  EXPECT_TRUE(ReserveBrushes(4));
  EXPECT_EQ(CreateSolidBrush(ColorRef{}), 0);  // the armed failure is still the 5th
  FailAllCreations(ObjectKind::Brush, true);
  EXPECT_FALSE(ReserveBrushes(1));
  EXPECT_TRUE(ReserveBrushes(0));
}

TEST_F(GdiTest, LiveCountsFollowCreationAndRelease) {
  const LiveCounts before = Live();
  {
    Canvas c(5, 5);
    const HBRUSH b = CreateSolidBrush(ColorRef{});
    EXPECT_EQ(Live(), (LiveCounts{before.dcs + 1, before.bitmaps + 1, before.brushes + 1}));
    DeleteObject(b);
  }
  EXPECT_EQ(Live(), before);
}

TEST_F(GdiTest, OwnedSurfaceKeepsPixelsAcrossAResizeAndFillsTheNewArea) {
  const LiveCounts before = Live();
  {
    OwnedSurface s(3, 2, MakePixel(1, 1, 1));
    s.pixels().row(1)[2] = MakePixel(9, 9, 9);
    FailAllCreations(ObjectKind::Bitmap, true);  // a container's own area is not subject to injected faults
    s.Resize(5, 3, MakePixel(2, 2, 2));
    FailAllCreations(ObjectKind::Bitmap, false);
    const Image img = s.snapshot();
    ASSERT_EQ(img.width, 5);
    EXPECT_EQ(img.at(2, 1), MakePixel(9, 9, 9));
    EXPECT_EQ(img.at(0, 0), MakePixel(1, 1, 1));
    EXPECT_EQ(img.at(4, 2), MakePixel(2, 2, 2));
  }
  EXPECT_EQ(Live(), before);
}

}  // namespace
}  // namespace glimmer::gdi
