#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class kwIPcl;
class QPoint;
namespace Ui {
class RemoveAddressesWindow;
}

// Asked at close when this run added temporary addresses: remove all, none, or
// single rows through the popup menu ("Delete"). Whatever is still recorded
// when it closes is reported with the "Attention" message.
class RemoveAddressesWindow : public QDialog {
  Q_OBJECT

 public:
  explicit RemoveAddressesWindow(kwIPcl& network, QWidget* parent = nullptr);
  ~RemoveAddressesWindow() override;

  // Makes network.RemoveTemporaryAddresses(1) open this window. The main window
  // does it for its network object, and the Advanced Settings window for the one
  // it is given, so the question is in place wherever addresses are added.
  static void Install(kwIPcl& network);

  // The addresses listed, in NEWADDRESSQ order.
  std::vector<std::string> ListedAddresses() const;
  // What the popup menu of a row does when "Delete" is chosen.
  void DeleteRow(int row);
  bool RemoveAllEnabled() const;

 protected:
  void done(int result) override;

 private:
  void Fill();
  void RemoveAll();
  void ShowMenu(const QPoint& position);

  kwIPcl& network_;
  std::unique_ptr<Ui::RemoveAddressesWindow> ui_;
};
