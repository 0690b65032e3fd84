#pragma once

#include <QDialog>
#include <memory>
#include <string>

class kwResource;
namespace Ui {
class HelpPictureWindow;
}

// One help picture over the whole window. The picture is written from the
// program's resources into the private temporary folder when the window is
// made and deleted when it closes: the file exists only while it is shown.
class HelpPictureWindow : public QDialog {
  Q_OBJECT

 public:
  // pictureName: "~Vantrel-Help-Screen.png" or "~Vantrel-Help-Screen-Lumarc.png".
  explicit HelpPictureWindow(const std::string& pictureName, QWidget* parent = nullptr);
  ~HelpPictureWindow() override;

  // "~Vantrel-Help-Screen.png" -> "Vantrel-Help-Screen_png".
  static std::string ResourceName(const std::string& pictureName);

  const std::string& PicturePath() const { return picturePath_; }
  bool ShowsPicture() const;

 protected:
  void done(int result) override;

 private:
  void RemovePicture();

  std::string picturePath_;
  std::unique_ptr<kwResource> resource_;
  std::unique_ptr<Ui::HelpPictureWindow> ui_;
};
