#include "shell/LogoCarousel.h"

#include <QLabel>

#include "toolkit/kwResource.h"
#include "toolkit/widgets/ClickRegion.h"

LogoCarousel::LogoCarousel(const std::array<QLabel*, kPlaces>& images, const std::array<ClickRegion*, kPlaces>& regions)
    : images_(images), regions_(regions) {}

void LogoCarousel::Load(const std::vector<Source>& sources) {
  kwResource resources;
  for (const Source& source : sources) {
    if (resources.LoadImage(source.resource) == 0) continue;
    Logo logo;
    logo.SIMAGE = QByteArray::fromStdString(resources.RESOURCEINFO.SDATA);
    logo.SURL = source.url;
    logo.picture.loadFromData(logo.SIMAGE);
    LogoQ.push_back(std::move(logo));
  }
}

void LogoCarousel::Assign() {
  for (std::size_t i = 0; i < kPlaces && i < LogoQ.size(); ++i) {
    Logo& logo = LogoQ[i];
    logo.image = images_[i];
    logo.region = regions_[i];
    logo.image->setPixmap(logo.picture);
    logo.region->setToolTip(QString::fromStdString(logo.SURL));
  }
}

bool LogoCarousel::Tick(bool sweeping, int windowWidth) {
  if (sweeping || LogoQ.empty()) return false;
  // A place that starts inside the window is on show, even if only in part.
  if (images_[kPlaces - 1]->x() <= windowWidth) return false;
  Logo first = std::move(LogoQ.front());
  LogoQ.erase(LogoQ.begin());
  LogoQ.push_back(std::move(first));
  for (Logo& logo : LogoQ) {
    logo.image = nullptr;
    logo.region = nullptr;
  }
  Assign();
  return true;
}

const LogoCarousel::Logo* LogoCarousel::FindByRegion(const QWidget* region) const {
  for (const Logo& logo : LogoQ) {
    if (logo.region && logo.region == region) return &logo;
  }
  return nullptr;
}
