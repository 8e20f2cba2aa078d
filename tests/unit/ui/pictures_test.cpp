// The pictures of the welcome and finish dialogs as the system loads them from
// the program's resources: run-length compressed 16-colour bitmaps that must
// come out at their size and in their colours.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

const COLORREF kOrange = RGB(0xF0, 0x78, 0x00);
const COLORREF kGreen = RGB(0x2E, 0x8B, 0x3A);

// The letters are white; reducing the smoothed text to 16 colours may leave
// them a shade off pure white (#FFFEFD in the strips).
bool IsWhite(COLORREF colour) {
  return GetRValue(colour) >= 0xF8 && GetGValue(colour) >= 0xF8 && GetBValue(colour) >= 0xF8;
}

// A bitmap loaded from the resources, selected into a memory DC for reading.
class LoadedPicture {
 public:
  explicit LoadedPicture(int id)
      : bitmap_(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                IMAGE_BITMAP, 0, 0, 0))),
        dc_(CreateCompatibleDC(nullptr)) {
    if (bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~LoadedPicture() {
    if (old_) SelectObject(dc_, old_);
    DeleteDC(dc_);
    if (bitmap_) DeleteObject(bitmap_);
  }
  LoadedPicture(const LoadedPicture&) = delete;
  LoadedPicture& operator=(const LoadedPicture&) = delete;

  bool loaded() const { return bitmap_ != nullptr; }
  SIZE size() const {
    BITMAP info = {};
    GetObjectA(bitmap_, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  int CountIn(const RECT& area, bool (*matches)(COLORREF)) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) count += matches(At(x, y));
    return count;
  }

 private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// The header of a bitmap resource as it is stored in the program.
BITMAPINFOHEADER StoredHeader(int id) {
  BITMAPINFOHEADER header = {};
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
  if (!found || SizeofResource(module, found) < sizeof header) return header;
  CopyMemory(&header, LockResource(LoadResource(module, found)), sizeof header);
  return header;
}

TEST(Pictures, AreStoredAsRunLengthCompressedSixteenColourBitmaps) {
  for (int id : {104, 105, 106}) {
    const BITMAPINFOHEADER header = StoredHeader(id);
    EXPECT_EQ(header.biBitCount, 4) << "picture " << id;
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RLE4)) << "picture " << id;
  }
}

TEST(Pictures, BannerLoadsAtItsSizeWithTheOrangeAndGreenBlocksAndWhiteLetters) {
  LoadedPicture banner(104);
  ASSERT_TRUE(banner.loaded());
  EXPECT_EQ(banner.size().cx, 400);
  EXPECT_EQ(banner.size().cy, 144);
  EXPECT_EQ(banner.At(0, 0), kOrange);
  EXPECT_EQ(banner.At(399, 0), kGreen) << "the block at the right";
  EXPECT_EQ(banner.At(0, 143), kGreen) << "the band at the bottom";
  EXPECT_EQ(banner.At(399, 143), kGreen);
  EXPECT_GT(banner.CountIn({38, 10, 300, 100}, IsWhite), 1000) << "the letters \"QV\"";
  EXPECT_GT(banner.CountIn({14, 110, 399, 143}, IsWhite), 100) << "the subtitle";
}

TEST(Pictures, StripsLoadAtTheirSizeWithWhiteTextLeftOfTheButtons) {
  for (int id : {105, 106}) {
    LoadedPicture strip(id);
    ASSERT_TRUE(strip.loaded()) << "picture " << id;
    EXPECT_EQ(strip.size().cx, 400) << "picture " << id;
    EXPECT_EQ(strip.size().cy, 48) << "picture " << id;
    EXPECT_GT(strip.CountIn({0, 0, 400, 24}, IsWhite), 100) << "first line of picture " << id;
    EXPECT_GT(strip.CountIn({0, 24, 400, 48}, IsWhite), 100) << "second line of picture " << id;
    // The buttons of both dialogs cover the strip from x = 306 on.
    EXPECT_EQ(strip.CountIn({306, 0, 400, 48}, [](COLORREF c) { return c == kOrange; }), 94 * 48)
        << "picture " << id;
  }
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// The pictures that a dialog shows, in order: the bitmap's size and where
// its control lies in the dialog's client area.
struct ShownPicture {
  SIZE bitmap;
  RECT place;
};

std::vector<ShownPicture> ShownPictures(int dialogId, RECT* client) {
  std::vector<ShownPicture> shown;
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogId), nullptr,
                                   PlainDialogProc, 0);
  if (!dialog) return shown;
  GetClientRect(dialog, client);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    HGDIOBJ image = reinterpret_cast<HGDIOBJ>(SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    RECT place = {};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    if (image && GetObjectA(image, sizeof info, &info))
      shown.push_back({{info.bmWidth, info.bmHeight}, place});
  }
  DestroyWindow(dialog);
  return shown;
}

// At any DPI the pictures fill the dialog: the dialog units grow with the
// font, the bitmaps do not, so each control must keep its place.
TEST(Pictures, WelcomeAndFinishDialogsShowTheBannerAndTheirStripAcrossTheWholeDialog) {
  for (int id : {101, 102}) {
    RECT client = {};
    const std::vector<ShownPicture> shown = ShownPictures(id, &client);
    ASSERT_EQ(shown.size(), 2u) << "dialog " << id;
    EXPECT_EQ(shown[0].bitmap.cx, 400);
    EXPECT_EQ(shown[0].bitmap.cy, 144);
    EXPECT_EQ(shown[1].bitmap.cx, 400);
    EXPECT_EQ(shown[1].bitmap.cy, 48);
    for (const ShownPicture& picture : shown) {
      EXPECT_EQ(picture.place.left, 0) << "dialog " << id;
      EXPECT_EQ(picture.place.right, client.right) << "pixels, dialog " << id;
    }
    EXPECT_EQ(shown[0].place.top, 0) << "dialog " << id;
    EXPECT_GE(shown[0].place.bottom, shown[1].place.top) << "pixels, dialog " << id;
    EXPECT_EQ(shown[1].place.bottom, client.bottom) << "pixels, dialog " << id;
  }
}

}  // namespace
