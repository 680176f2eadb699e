// LoadPictureUrl against the sample site (FUELWISE_TEST_SITE) and the small
// pictures in data/ (made with ImageMagick; their sizes are in the table below).

#include "app/picture/LoadPictureUrl.h"
#include "app/picture/PicturePrefetch.h"

#include <chrono>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace fw {
namespace {

std::wstring Widen(const char* s) { return std::wstring(s, s + strlen(s)); }

std::wstring SiteUrl(const wchar_t* path) {
  const char* site = std::getenv("FUELWISE_TEST_SITE");
  return L"http://" + Widen(site ? site : "") + path;
}

std::wstring DataPath(const wchar_t* name) {
  const std::wstring rel = std::wstring(L"data\\") + name;
  wchar_t full[MAX_PATH];
  const DWORD n = GetFullPathNameW(rel.c_str(), MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH ? std::wstring(full, n) : rel;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM counter) {
  if (IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

// Visible windows of this thread: a loader that asked the user something would
// have opened one (and, with nobody to answer it, never returned).
int VisibleThreadWindows() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&n));
  return n;
}

class LoadPictureUrlTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }

  static void ExpectSize(const PictureDispPtr& p, int w, int h, const std::wstring& what) {
    ASSERT_TRUE(p) << "no picture from " << std::string(what.begin(), what.end());
    const auto size = PictureSizeInPixels(p.get());
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, w) << std::string(what.begin(), what.end());
    EXPECT_EQ(size->height, h) << std::string(what.begin(), what.end());
  }
};

TEST_F(LoadPictureUrlTest, ChartLoadsOverHttpWithItsSize) {
  ASSERT_NE(std::getenv("FUELWISE_TEST_SITE"), nullptr) << "run through with-sample-site.sh";
  const auto url = SiteUrl(L"/cn/live_charts/t24_crude_cn188x166.gif");
  ExpectSize(LoadPictureUrl(url), 188, 166, url);
  // A second load (from the cache or the site) gives an equal, separate picture.
  const PictureDispPtr again = LoadPictureUrl(url);
  ExpectSize(again, 188, 166, url);
}

TEST_F(LoadPictureUrlTest, AnswersThatAreNotPicturesGiveNoneAndNoDialog) {
  ASSERT_NE(std::getenv("FUELWISE_TEST_SITE"), nullptr) << "run through with-sample-site.sh";
  const int windowsBefore = VisibleThreadWindows();
  for (const wchar_t* path : {L"/faults/html.gif", L"/faults/404.asp", L"/faults/empty.asp",
                              L"/no/such/picture.gif"}) {
    const auto url = SiteUrl(path);
    EXPECT_FALSE(LoadPictureUrl(url)) << std::string(url.begin(), url.end());
  }
  EXPECT_EQ(VisibleThreadWindows(), windowsBefore);
}

TEST_F(LoadPictureUrlTest, UnreachableUrlGivesNoneQuickly) {
  // Port 1 on loopback: the connection is refused at once.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(LoadPictureUrl(L"http://127.0.0.1:1/cn/live_charts/t24_crude_cn188x166.gif"));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::seconds(10));
}

struct LocalCase {
  const wchar_t* file;
  int width;
  int height;
};
// Sizes as the files were made: convert -size WxH ...
constexpr LocalCase kLocal[] = {
    {L"bars.bmp", 24, 16},  // 24-bit BMP
    {L"chart.gif", 20, 12},
    {L"photo.jpg", 32, 18},
    {L"icon.ico", 16, 16},
};

TEST_F(LoadPictureUrlTest, LocalPathsLoadAsWellAsUrls) {
  for (const auto& c : kLocal) {
    const auto path = DataPath(c.file);
    ExpectSize(LoadPictureUrl(path), c.width, c.height, path);
  }
}

TEST_F(LoadPictureUrlTest, LocalFileLoaderReadsEveryFormatItself) {
  for (const auto& c : kLocal) {
    const auto path = DataPath(c.file);
    ExpectSize(LoadPictureFile(path), c.width, c.height, path);
  }
  // PNG goes through the imaging codecs.
  const auto png = DataPath(L"small.png");
  ExpectSize(LoadPictureFile(png), 10, 7, png);
  ExpectSize(LoadPictureUrl(png), 10, 7, png);
}

TEST_F(LoadPictureUrlTest, LocalFilesThatAreNotPicturesGiveNone) {
  const int windowsBefore = VisibleThreadWindows();
  EXPECT_FALSE(LoadPictureUrl(DataPath(L"html.gif")));
  EXPECT_FALSE(LoadPictureFile(DataPath(L"html.gif")));
  EXPECT_FALSE(LoadPictureUrl(DataPath(L"missing.gif")));
  EXPECT_FALSE(LoadPictureFile(DataPath(L"missing.gif")));
  EXPECT_FALSE(LoadPictureUrl(L""));
  EXPECT_EQ(VisibleThreadWindows(), windowsBefore);
}

TEST_F(LoadPictureUrlTest, BitmapPictureDrawsItsPixels) {
  // The loaded picture is a real bitmap: render it and read a pixel back.
  const PictureDispPtr disp = LoadPictureUrl(DataPath(L"chart.gif"));
  ASSERT_TRUE(disp);
  com_ptr<IPicture> pic;
  disp->QueryInterface(IID_IPicture, pic.put());
  ASSERT_TRUE(pic);
  OLE_XSIZE_HIMETRIC hw = 0;
  OLE_YSIZE_HIMETRIC hh = 0;
  pic->get_Width(&hw);
  pic->get_Height(&hh);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 20, 12);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  // Top-down: the picture's y runs from its height down to 0.
  EXPECT_TRUE(SUCCEEDED(pic->Render(dc, 0, 0, 20, 12, 0, hh, hw, -hh, nullptr)));
  // chart.gif: #336699 background, #FFCC00 rectangle from (5,3) to (14,8).
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x33, 0x66, 0x99));
  EXPECT_EQ(GetPixel(dc, 19, 11), RGB(0x33, 0x66, 0x99));
  EXPECT_EQ(GetPixel(dc, 5, 3), RGB(0xFF, 0xCC, 0x00));
  EXPECT_EQ(GetPixel(dc, 14, 8), RGB(0xFF, 0xCC, 0x00));
  EXPECT_EQ(GetPixel(dc, 15, 8), RGB(0x33, 0x66, 0x99));
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST_F(LoadPictureUrlTest, LoadsLeaveNoReferenceBehind) {
  // Every COM reference the loader takes is counted while held.
  const int before = LiveHandles(HandleKind::Com);
  for (int i = 0; i < 20; ++i) {
    const PictureDispPtr bmp = LoadPictureUrl(DataPath(L"bars.bmp"));
    const PictureDispPtr png = LoadPictureFile(DataPath(L"small.png"));
    EXPECT_EQ(LiveHandles(HandleKind::Com), before + 2);
    EXPECT_FALSE(LoadPictureUrl(DataPath(L"html.gif")));
  }
  EXPECT_EQ(LiveHandles(HandleKind::Com), before);
}

// The chart's own fetch, here and on a worker, gives what the platform's
// path-or-URL loader gives, failures included, and Take waits for a site
// that takes its time.
TEST_F(LoadPictureUrlTest, AFetchedPictureIsWhatThePathLoaderGives) {
  ASSERT_NE(std::getenv("FUELWISE_TEST_SITE"), nullptr) << "run through with-sample-site.sh";
  struct Case {
    std::wstring url;
    int width;  // 0: no picture
    int height;
  };
  const Case cases[] = {
      {SiteUrl(L"/cn/live_charts/t24_crude_cn188x166.gif"), 188, 166},
      {SiteUrl(L"/faults/slow.gif?ms=1200"), 188, 166},
      {SiteUrl(L"/faults/404.gif"), 188, 166},
      {SiteUrl(L"/faults/html.gif"), 0, 0},
      {SiteUrl(L"/faults/empty.asp"), 0, 0},
      {SiteUrl(L"/no/such/picture.gif"), 0, 0},
      {L"http://127.0.0.1:1/cn/live_charts/t24_crude_cn188x166.gif", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.url.begin(), c.url.end()));
    const PictureDispPtr platform = LoadPictureUrl(c.url);
    ASSERT_EQ(static_cast<bool>(platform), c.width != 0) << "the path loader";
    if (platform) ExpectSize(platform, c.width, c.height, c.url);
    PicturePrefetch ahead(c.url);
    const std::shared_ptr<Picture> taken = ahead.Take();
    EXPECT_TRUE(ahead.Done());
    for (const auto& p : {FetchPicture(c.url), taken}) {
      ASSERT_EQ(p != nullptr, c.width != 0);
      if (p) {
        EXPECT_EQ(p->PixelWidth(), c.width);
        EXPECT_EQ(p->PixelHeight(), c.height);
      }
    }
    EXPECT_FALSE(ahead.Take()) << "a picture is handed over once";
  }
}

}  // namespace
}  // namespace fw
