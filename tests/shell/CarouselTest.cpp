// The logo strip: which logos fill the five places, and when they move on.
#include <gtest/gtest.h>

#include <QLabel>

#include "WindowHarness.h"
#include "scan/SweepController.h"

namespace {

std::vector<std::string> PlaceTooltips(WindowHarness& harness) {
  std::vector<std::string> tips;
  for (const char* region : {"REGION_1", "REGION_2", "REGION_3", "REGION_4", "REGION_5"}) {
    tips.push_back(harness.Control(region)->toolTip().toStdString());
  }
  return tips;
}

const std::vector<std::string> kOpening = {"https://norvex.example/", "https://quellon.example/",
                                           "https://lumarc.example/", "https://drizmo.example/",
                                           "https://hushden.example/"};
const std::vector<std::string> kOneOn = {"https://quellon.example/", "https://lumarc.example/",
                                         "https://drizmo.example/", "https://hushden.example/",
                                         "https://norvex.example/"};

TEST(MainWindowCarousel, OpeningFillsFivePlacesInOrder) {
  WindowHarness harness;
  EXPECT_EQ(PlaceTooltips(harness), kOpening);
  for (const char* image : {"IMAGE_1", "IMAGE_2", "IMAGE_3", "IMAGE_4", "IMAGE_5"}) {
    EXPECT_FALSE(harness.Control<QLabel>(image)->pixmap().isNull()) << image;
  }
}

TEST(MainWindowCarousel, RotatesOnlyWhenTheFifthPlaceIsOutOfSightAndIdle) {
  int fifth = 0;
  {
    WindowHarness harness;
    fifth = harness.Control("IMAGE_5")->x();
    ASSERT_GT(fifth, harness.Window().width()) << "at its opening size the strip reaches beyond the window";
  }

  const struct {
    const char* what;
    int width;  // 0: as opened
    bool sweeping;
    std::vector<std::string> after;
  } cases[] = {
      {"narrow and idle", 0, false, kOneOn},
      {"narrow during a sweep", 0, true, kOpening},
      {"exactly as wide as the fifth place's left edge", fifth, false, kOpening},
      {"wider than the whole strip", fifth + 400, false, kOpening},
      {"one pixel short of the fifth place", fifth - 1, false, kOneOn},
  };
  for (const auto& c : cases) {
    WindowHarness fresh;
    fresh.Show();
    if (c.width) {
      fresh.Window().resize(c.width, fresh.Window().height());
      Settle();
      ASSERT_EQ(fresh.Window().width(), c.width) << c.what;
    }
    if (c.sweeping) fresh.Window().Controller().ThreadQ.push_back({0, 1});
    fresh.Window().TimerTick();
    EXPECT_EQ(PlaceTooltips(fresh), c.after) << c.what;
    fresh.Window().Controller().ThreadQ.clear();
  }
}

TEST(MainWindowCarousel, TimerRunsEveryTenSecondsOnlyWhileIdle) {
  WindowHarness harness;
  MainWindow& window = harness.Window();
  EXPECT_TRUE(window.TimerRunning());
  EXPECT_EQ(window.TimerInterval(), 10000);
  SweepController& controller = window.Controller();
  controller.ThreadQ.push_back({0, 7});
  controller.UpdateScanStatus();  // an answer handled with one still outstanding
  EXPECT_FALSE(window.TimerRunning());
  controller.ThreadQ.clear();
  controller.UpdateScanStatus();
  EXPECT_TRUE(window.TimerRunning());
  EXPECT_EQ(window.TimerInterval(), 10000);
}

TEST(MainWindowCarousel, FewerLogosFillFewerPlaces) {
  MainWindow::Options options;
  options.logos = {{"logos\\norvex_png", "https://norvex.example/"},
                   {"logos\\no-such-logo_png", "https://missing.example/"},
                   {"LOGOS\\LUMARC_PNG", "https://lumarc.example/"}};
  WindowHarness harness(WindowHarness::TwoAdapters(), options);
  EXPECT_EQ(harness.Window().Carousel().LogoQ.size(), 2u);
  EXPECT_EQ(PlaceTooltips(harness),
            (std::vector<std::string>{"https://norvex.example/", "https://lumarc.example/", "", "", ""}));
  for (const char* image : {"IMAGE_3", "IMAGE_4", "IMAGE_5"}) {
    EXPECT_TRUE(harness.Control<QLabel>(image)->pixmap().isNull()) << image;
  }
  harness.Show();
  harness.Window().TimerTick();
  EXPECT_EQ(PlaceTooltips(harness),
            (std::vector<std::string>{"https://lumarc.example/", "https://norvex.example/", "", "", ""}));
  // An empty place opens nothing.
  EXPECT_EQ(harness.Window().Carousel().FindByRegion(harness.Control("REGION_4")), nullptr);
}

}  // namespace
