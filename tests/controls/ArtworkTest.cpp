// The artwork as the program loads and draws it: every bitmap at the size its place needs,
// stored palettised, decoded exactly as it was drawn (the build keeps a plain 24-bit copy of
// each), pure red only where the wizard is see-through, the icon and the cursor, the drawings
// for the larger display scales, and the whole within the size the installer stub can afford.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>

#include "framework/DpiScale.h"
#include "framework/Gdi.h"
#include "resources/resource.h"
#include "tests/controls/Pixels.h"
#include "tests/support/TestSupport.h"

namespace {

using controls_test::BitmapPixels;
using controls_test::Describe;
using controls_test::PixelSurface;
using controls_test::ReadPixels;

constexpr COLORREF kKey = RGB(255, 0, 0);

struct Art {
    UINT id;
    const wchar_t* file;  // as artwork.rc.in names it
    int width;            // 0: not fixed, see the checks of its size
    int height;
};

void PrintTo(const Art& art, std::ostream* os)
{
    *os << "bitmap " << art.id;
}

// Sizes fixed by the places the program draws them at.
const Art kArt[] = {
    {IDB_BTN_MIN_HOVER, L"min_hover.bmp", 22, 22},
    {IDB_BTN_MIN_NORMAL, L"min_normal.bmp", 22, 22},
    {IDB_BTN_CLOSE_NORMAL, L"close_normal.bmp", 22, 22},
    {IDB_BTN_CLOSE_HOVER, L"close_hover.bmp", 22, 22},
    {IDB_BTN_NORMAL, L"button_normal.bmp", 60, 21},
    {IDB_BTN_HOVER, L"button_hover.bmp", 60, 21},
    {IDB_PROGRESS_FILL, L"progress_fill.bmp", 0, 0},
    {IDB_STEP_MARKER, L"step_marker.bmp", 37, 6},
    {IDB_HEADER_RULE, L"header_rule.bmp", 0, 0},
    {IDB_TITLE_BUTTON_STRIP, L"title_button_strip.bmp", 3, 22},
    {IDB_WIZARD_BACKGROUND, L"wizard_background.bmp", 550, 385},
    {IDB_MSG_BACKGROUND, L"msg_background.bmp", 286, 148},
    {IDB_MSG_CLOSE_HOVER, L"msg_close_hover.bmp", 37, 18},
    {IDB_MSG_CLOSE_NORMAL, L"msg_close_normal.bmp", 37, 18},
    {IDB_MSG_ICON_NOTICE, L"msg_icon_notice.bmp", 0, 0},
    {IDB_MSG_ICON_QUESTION, L"msg_icon_question.bmp", 0, 0},
    {IDB_MSG_ICON_ERROR, L"msg_icon_error.bmp", 0, 0},
    {IDB_MSG_BTN_NORMAL, L"msg_button_normal.bmp", 48, 19},
    {IDB_MSG_BTN_HOVER, L"msg_button_hover.bmp", 48, 19},
    {IDB_MSG_WIDE_BTN_HOVER, L"msg_wide_button_hover.bmp", 67, 19},
    {IDB_MSG_WIDE_BTN_NORMAL, L"msg_wide_button_normal.bmp", 67, 19},
};

BitmapPixels Loaded(UINT id)
{
    const framework::Bitmap bitmap = framework::LoadBitmapResource(id);
    return ReadPixels(bitmap.get());
}

framework::Bitmap LoadReference(const wchar_t* file)
{
    const std::wstring path = testing_support::BuildFile(std::wstring(L"art/reference/") + file);
    return framework::Bitmap(
        static_cast<HBITMAP>(::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
}

BitmapPixels Reference(const wchar_t* file)
{
    const framework::Bitmap bitmap = LoadReference(file);
    return ReadPixels(bitmap.get());
}

const BITMAPINFOHEADER* StoredHeader(UINT id)
{
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP);
    return found ? static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(module, found))) : nullptr;
}

// The bitmap drawn onto a surface of its size filled with ground, by one of GDI's copies.
using Blit = void (*)(HDC target, HDC source, int width, int height);
BitmapPixels DrawnWith(UINT id, COLORREF ground, Blit blit)
{
    const framework::Bitmap bitmap = framework::LoadBitmapResource(id);
    const SIZE size = framework::BitmapSize(bitmap.get());
    PixelSurface surface(size.cx, size.cy, ground);
    const framework::MemoryDC source(surface.dc());
    const framework::SelectScope selected(source.get(), bitmap.get());
    blit(surface.dc(), source.get(), size.cx, size.cy);
    BitmapPixels pixels{size.cx, size.cy, {}};
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) pixels.colours.push_back(surface.at(x, y));
    }
    return pixels;
}

void ExpectSamePixels(const BitmapPixels& actual, const BitmapPixels& expected)
{
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            ASSERT_EQ(actual.at(x, y), expected.at(x, y))
                << "at " << x << "," << y << ": " << Describe(actual.at(x, y)) << " instead of " << Describe(expected.at(x, y));
        }
    }
}

class EveryBitmap : public ::testing::TestWithParam<Art> {};

TEST_P(EveryBitmap, LoadsAtTheSizeItsPlaceNeeds)
{
    const Art& art = GetParam();
    const BitmapPixels pixels = Loaded(art.id);
    ASSERT_GT(pixels.width, 0) << "bitmap " << art.id << " does not load";
    if (art.width) {
        EXPECT_EQ(pixels.width, art.width);
        EXPECT_EQ(pixels.height, art.height);
    }
}

TEST_P(EveryBitmap, IsStoredWithAPaletteOfEightBits)
{
    const BITMAPINFOHEADER* header = StoredHeader(GetParam().id);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biBitCount, 8);
    EXPECT_TRUE(header->biCompression == BI_RGB || header->biCompression == BI_RLE8) << header->biCompression;
    EXPECT_LE(header->biClrUsed, 256u);
}

TEST_P(EveryBitmap, DecodesExactlyAsDrawn)
{
    const Art& art = GetParam();
    const BitmapPixels reference = Reference(art.file);
    ASSERT_GT(reference.width, 0) << "no reference copy of bitmap " << art.id;
    ExpectSamePixels(Loaded(art.id), reference);
}

TEST_P(EveryBitmap, HasPureRedOnlyWhereTheWizardIsSeeThrough)
{
    const Art& art = GetParam();
    const BitmapPixels pixels = Loaded(art.id);
    ASSERT_GT(pixels.width, 0);
    const bool seeThroughCorners = art.id == IDB_WIZARD_BACKGROUND;
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            if (pixels.at(x, y) != kKey) continue;
            const bool inCorner = std::min(x, pixels.width - 1 - x) < 6 && std::min(y, pixels.height - 1 - y) < 6;
            ASSERT_TRUE(seeThroughCorners && inCorner) << "pure red at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Artwork, EveryBitmap, ::testing::ValuesIn(kArt),
                         [](const ::testing::TestParamInfo<Art>& info) { return "Id" + std::to_string(info.param.id); });

// Every bitmap at each larger display scale, against its plain copy in art/reference/<percent>.
class EveryScale : public ::testing::TestWithParam<int> {};

TEST_P(EveryScale, EveryBitmapLoadsFromItsScalesPackExactlyAsDrawn)
{
    const int dpi = GetParam();
    for (const Art& art : kArt) {
        SCOPED_TRACE(art.id);
        const BitmapPixels reference = Reference((std::to_wstring(dpi * 100 / 96) + L"/" + art.file).c_str());
        ASSERT_GT(reference.width, 0) << "no reference copy";
        const framework::Bitmap bitmap = framework::DpiScale(dpi).LoadBitmap(art.id);
        ExpectSamePixels(ReadPixels(bitmap.get()), reference);
        // Drawn for the places of the scale, not the 100 % drawing.
        if (art.width) {
            EXPECT_NEAR(reference.width, art.width * dpi / 96.0, 1.0);
            EXPECT_NEAR(reference.height, art.height * dpi / 96.0, 1.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Artwork, EveryScale, ::testing::Values(120, 144, 168, 192),
                         [](const ::testing::TestParamInfo<int>& info) { return "Dpi" + std::to_string(info.param); });

TEST(ArtworkScales, EachDisplayScaleTakesTheNearestScaleItIsDrawnFor)
{
    const struct {
        int dpi;
        int drawnFor;
    } cases[] = {{72, 96}, {96, 96}, {107, 96}, {108, 120}, {120, 120}, {144, 144}, {168, 168}, {192, 192}, {288, 192}};
    for (const auto& c : cases) EXPECT_EQ(framework::DpiScale(c.dpi).Dpi(), c.drawnFor) << c.dpi;
}

TEST(ArtworkPlaces, WizardCornersAreSeeThroughAndItsEdgesAreNot)
{
    const BitmapPixels wizard = Loaded(IDB_WIZARD_BACKGROUND);
    ASSERT_EQ(wizard.width, 550);
    for (POINT corner : {POINT{0, 0}, POINT{549, 0}, POINT{0, 384}, POINT{549, 384}}) {
        EXPECT_EQ(wizard.at(corner.x, corner.y), kKey) << corner.x << "," << corner.y;
    }
    for (POINT edge : {POINT{275, 0}, POINT{0, 192}, POINT{549, 192}, POINT{275, 384}, POINT{6, 6}}) {
        EXPECT_NE(wizard.at(edge.x, edge.y), kKey) << edge.x << "," << edge.y;
    }
}

TEST(ArtworkPlaces, SmallPiecesFitWhereThePaintingPutsThem)
{
    // The progress bar is tiled from y 317 inside the white area that ends at y 324.
    const BitmapPixels fill = Loaded(IDB_PROGRESS_FILL);
    EXPECT_GE(fill.height, 1);
    EXPECT_LE(fill.height, 7);
    EXPECT_GE(fill.width, 1);
    // The rule is squeezed to one pixel of height and stretched.
    EXPECT_GE(Loaded(IDB_HEADER_RULE).width, 2);
    // The icons sit at (16, 52), left of the text at x 60 and above the buttons at y 122.
    for (UINT id : {IDB_MSG_ICON_NOTICE, IDB_MSG_ICON_QUESTION, IDB_MSG_ICON_ERROR}) {
        const BitmapPixels icon = Loaded(id);
        EXPECT_GT(icon.width, 0) << id;
        EXPECT_LE(16 + icon.width, 56) << id;
        EXPECT_LE(52 + icon.height, 118) << id;
    }
}

// Each copy GDI offers gives the drawn pixels; a transparent copy keyed on red lets the ground
// through exactly where the bitmap is red.
TEST(ArtworkDrawing, BitBltStretchBltAndTransparentBltAgree)
{
    for (UINT id : {UINT(IDB_WIZARD_BACKGROUND), UINT(IDB_MSG_BACKGROUND), UINT(IDB_BTN_NORMAL)}) {
        SCOPED_TRACE(id);
        const BitmapPixels loaded = Loaded(id);
        ExpectSamePixels(DrawnWith(id, RGB(0, 255, 0),
                                   [](HDC t, HDC s, int w, int h) { ::BitBlt(t, 0, 0, w, h, s, 0, 0, SRCCOPY); }),
                         loaded);
        ExpectSamePixels(DrawnWith(id, RGB(0, 255, 0),
                                   [](HDC t, HDC s, int w, int h) { ::StretchBlt(t, 0, 0, w, h, s, 0, 0, w, h, SRCCOPY); }),
                         loaded);
        BitmapPixels keyed = loaded;
        for (COLORREF& c : keyed.colours) {
            if (c == kKey) c = RGB(0, 255, 0);
        }
        ExpectSamePixels(DrawnWith(id, RGB(0, 255, 0),
                                   [](HDC t, HDC s, int w, int h) {
                                       ::GdiTransparentBlt(t, 0, 0, w, h, s, 0, 0, w, h, kKey);
                                   }),
                         keyed);
    }
}

TEST(ArtworkDrawing, RuleStretchedToALongLineKeepsItsEnds)
{
    const BitmapPixels rule = Loaded(IDB_HEADER_RULE);
    ASSERT_GT(rule.width, 1);
    const framework::Bitmap bitmap = framework::LoadBitmapResource(IDB_HEADER_RULE);
    PixelSurface surface(400, 3, RGB(0, 255, 0));
    const framework::MemoryDC source(surface.dc());
    const framework::SelectScope selected(source.get(), bitmap.get());
    ::StretchBlt(surface.dc(), 0, 1, 400, 1, source.get(), 0, 0, rule.width, rule.height, SRCCOPY);
    EXPECT_EQ(surface.at(0, 1), rule.at(0, 0));
    EXPECT_EQ(surface.at(399, 1), rule.at(rule.width - 1, 0));
    EXPECT_EQ(surface.at(200, 0), RGB(0, 255, 0)) << "one pixel high";
    EXPECT_EQ(surface.at(200, 2), RGB(0, 255, 0)) << "one pixel high";
}

TEST(ArtworkIcon, LoadsAtEachSizeOpaqueInsideAndTransparentAtTheCorners)
{
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        const std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&::DestroyIcon)> owned(
            static_cast<HICON>(
                ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0)),
            &::DestroyIcon);
        const HICON icon = owned.get();
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        const framework::Bitmap colour(info.hbmColor);
        const framework::Bitmap mask(info.hbmMask);
        EXPECT_EQ(framework::BitmapSize(colour.get()).cx, size) << "an image of its own, not a scaled one";
        PixelSurface onWhite(size, size, RGB(255, 255, 255));
        PixelSurface onBlack(size, size, RGB(0, 0, 0));
        ::DrawIconEx(onWhite.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        ::DrawIconEx(onBlack.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        EXPECT_EQ(onWhite.at(size / 2, size / 2), onBlack.at(size / 2, size / 2)) << "the middle is opaque";
        EXPECT_EQ(onWhite.at(0, 0), RGB(255, 255, 255)) << "the rounded corner is transparent";
        EXPECT_EQ(onBlack.at(0, 0), RGB(0, 0, 0)) << "the rounded corner is transparent";
    }
}

TEST(ArtworkCursor, IsATwoColourHandWithItsHotSpotAtTheFingertip)
{
    const HCURSOR cursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(cursor, &info));
    const framework::Bitmap colour(info.hbmColor);
    const framework::Bitmap mask(info.hbmMask);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(framework::BitmapSize(mask.get()).cx, 32);
    // The fingertip pixel is drawn (its mask bit is clear); the corner far from the hand is not.
    const BitmapPixels bits = ReadPixels(mask.get());
    ASSERT_GE(bits.height, 32);
    EXPECT_EQ(bits.at(5, 0), RGB(0, 0, 0));
    EXPECT_EQ(bits.at(31, 31), RGB(255, 255, 255));
}

BOOL CALLBACK AddResourceSize(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR total)
{
    *reinterpret_cast<size_t*>(total) += ::SizeofResource(module, ::FindResourceW(module, name, type));
    return TRUE;
}

// Every artwork resource of the program, in bytes as stored: bitmaps, the packs of the larger
// scales, the icon and the cursor with their directories.
size_t ArtworkBytes()
{
    size_t total = 0;
    const LPCWSTR types[] = {RT_BITMAP, L"ARTWORK", RT_ICON, RT_GROUP_ICON, RT_CURSOR, RT_GROUP_CURSOR};
    for (const LPCWSTR type : types) {
        ::EnumResourceNamesW(::GetModuleHandleW(nullptr), type, &AddResourceSize, reinterpret_cast<LONG_PTR>(&total));
    }
    return total;
}

TEST(ArtworkSize, StaysWithinTheStubsShare)
{
    const size_t bytes = ArtworkBytes();
    ::testing::Test::RecordProperty("artwork_bytes", static_cast<int>(bytes));
    EXPECT_GT(bytes, 0u);
    // 16 KB at 100 % and 6 to 8 KB for each larger scale, out of a stub of at most 300 KB.
    EXPECT_LE(bytes, 52u * 1024) << "the artwork takes " << bytes << " bytes of the installer stub";
}

}  // namespace
