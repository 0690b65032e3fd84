#pragma once

#include <QByteArray>
#include <QPixmap>
#include <array>
#include <string>
#include <vector>

class ClickRegion;
class QLabel;
class QWidget;

// The product logos in the strip at the top of the main window. Up to five of
// them sit in the five places on the right; when the window is too narrow to
// show the fifth place, a tick moves every logo one place to the left and the
// first one to the end.
class LogoCarousel {
 public:
  static constexpr std::size_t kPlaces = 5;

  struct Source {
    std::string resource;  // IMAGE resource name, as "logos\\norvex_png"
    std::string url;
  };
  struct Logo {
    QLabel* image = nullptr;        // the place showing it, or nullptr
    ClickRegion* region = nullptr;  // the region over that place (the look-up key for clicks)
    QByteArray SIMAGE;              // the picture file's bytes
    std::string SURL;
    QPixmap picture;  // SIMAGE decoded once
  };

  LogoCarousel(const std::array<QLabel*, kPlaces>& images, const std::array<ClickRegion*, kPlaces>& regions);

  // Appends a logo for every source whose resource exists, in order.
  void Load(const std::vector<Source>& sources);
  // Gives entry i the i-th place: its picture and, as the region's tooltip, its address.
  void Assign();
  // One timer tick: rotates and reassigns unless a sweep is running or the
  // window (of that width) already shows the fifth place's left edge. True
  // when the logos moved.
  bool Tick(bool sweeping, int windowWidth);
  // The logo under a region, or nullptr.
  const Logo* FindByRegion(const QWidget* region) const;

  std::vector<Logo> LogoQ;

 private:
  std::array<QLabel*, kPlaces> images_;
  std::array<ClickRegion*, kPlaces> regions_;
};
