// render-svg: turns one of our SVG drawings into a PNG of a given size at build
// time, so that the program carries plain bitmaps and never needs the SVG image
// plugin at run time.
//
//   render-svg IN.svg OUT.png WIDTH HEIGHT
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: render-svg IN.svg OUT.png WIDTH HEIGHT\n");
    return 2;
  }
  // Text needs the font database, which needs a GUI application; no display is used.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const int width = std::atoi(argv[3]);
  const int height = std::atoi(argv[4]);
  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  if (!renderer.isValid() || width <= 0 || height <= 0) {
    std::fprintf(stderr, "render-svg: cannot render %s\n", argv[1]);
    return 1;
  }
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  renderer.render(&painter);
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "render-svg: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
