#include "windows/RemoveAddressesWindow.h"

#include <QHeaderView>
#include <QMetaObject>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>

#include "net/kwIPcl.h"
#include "toolkit/MessageService.h"
#include "toolkit/kwTools.h"
#include "toolkit/widgets/DialogUnits.h"
#include "toolkit/widgets/PopupMenucl.h"
#include "ui_RemoveAddressesWindow.h"
#include "windows/RemoveAddressesPrompt.h"
#include "windows/RowListStyle.h"

namespace {
constexpr int kColumnCharacters = 20;
constexpr int kDialogUnitsPerCharacter = 4;
}  // namespace

void RemoveAddressesWindow::Install(kwIPcl& network) {
  // Stateless, so one for the whole program serves every kwIPcl.
  static RemoveAddressesPrompt prompt;
  network.SetRemovalPrompt(&prompt);
}

RemoveAddressesWindow::RemoveAddressesWindow(kwIPcl& network, QWidget* parent)
    : QDialog(parent), network_(network), ui_(std::make_unique<Ui::RemoveAddressesWindow>()) {
  ui_->setupUi(this);
  DialogUnits::Apply(this);
  setFixedSize(size());

  QTableWidget* list = ui_->LIST1;
  list->setColumnCount(1);
  list->setHorizontalHeaderLabels({QStringLiteral("IP Address")});
  list->setColumnWidth(0, DialogUnits::X(kColumnCharacters * kDialogUnitsPerCharacter));
  RowListStyle::Apply(list);

  ui_->REMOVEALLBUTTON->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  ui_->REMOVENONBUTTON->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);

  connect(list, &QWidget::customContextMenuRequested, this, &RemoveAddressesWindow::ShowMenu);
  connect(ui_->REMOVEALLBUTTON, &QPushButton::clicked, this, &RemoveAddressesWindow::RemoveAll);
  connect(ui_->REMOVENONBUTTON, &QPushButton::clicked, this, &QDialog::reject);
  Fill();
}

RemoveAddressesWindow::~RemoveAddressesWindow() = default;

void RemoveAddressesWindow::Fill() {
  QTableWidget* list = ui_->LIST1;
  list->setRowCount(static_cast<int>(network_.NEWADDRESSQ.size()));
  int row = 0;
  for (const TemporaryAddress& entry : network_.NEWADDRESSQ) {
    list->setItem(row++, 0, new QTableWidgetItem(QString::fromStdString(kwTools::Clip(entry.SIPV4))));
  }
  ui_->REMOVEALLBUTTON->setEnabled(!network_.NEWADDRESSQ.empty());
}

std::vector<std::string> RemoveAddressesWindow::ListedAddresses() const {
  std::vector<std::string> out;
  for (int row = 0; row < ui_->LIST1->rowCount(); ++row) {
    if (const QTableWidgetItem* item = ui_->LIST1->item(row, 0)) out.push_back(item->text().toStdString());
  }
  return out;
}

bool RemoveAddressesWindow::RemoveAllEnabled() const { return ui_->REMOVEALLBUTTON->isEnabled(); }

void RemoveAddressesWindow::DeleteRow(int row) {
  if (row < 0) return;
  // A failed removal leaves the entry, and the list, as they were.
  if (network_.RemoveTemporaryAddress(static_cast<std::size_t>(row))) Fill();
}

void RemoveAddressesWindow::ShowMenu(const QPoint& position) {
  const int row = ui_->LIST1->indexAt(position).row();
  if (row < 0) return;
  PopupMenucl menu;
  menu.AddText("Delete");
  if (menu.Show() == 1) DeleteRow(row);
}

void RemoveAddressesWindow::RemoveAll() {
  network_.RemoveAllAddresses();
  if (network_.NEWADDRESSQ.empty()) {
    QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
    return;
  }
  Fill();
}

void RemoveAddressesWindow::done(int result) {
  if (!network_.NEWADDRESSQ.empty()) {
    MessageService::Show(kwIPcl::kAddressesRemainText, kwIPcl::kAddressesRemainCaption, MessageIcon::Warning);
  }
  QDialog::done(result);
}
