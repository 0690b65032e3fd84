#include "shell/MainWindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTableView>

#include "scan/NetworkScanProbe.h"
#include "scan/SweepController.h"
#include "scan/VendorRowLookup.h"
#include "shell/BrowserPane.h"
#include "shell/MakerSites.h"
#include "shell/StartupSequence.h"
#include "toolkit/MessageService.h"
#include "toolkit/ProcessFlags.h"
#include "toolkit/kwResource.h"
#include "toolkit/widgets/ClickRegion.h"
#include "toolkit/widgets/DialogUnits.h"
#include "toolkit/widgets/PopupMenucl.h"
#include "ui_MainWindow.h"
#include "windows/AboutWindow.h"
#include "windows/AdvancedSettingsWindow.h"
#include "windows/DeviceListModel.h"
#include "windows/HelpPictureWindow.h"
#include "windows/NewDevicesWindow.h"
#include "windows/RemoveAddressesWindow.h"

namespace {

constexpr const char* kProduct = "Vantrel";
constexpr int kTimerMs = 10000;
constexpr unsigned long kHighlight = 0xEBFFFF;  // red 255, green 255, blue 235
constexpr int kSliderWidth = 26;
constexpr int kSliderHeight = 16;
// The list's columns: width in dialog units, and the widest text each must
// show whole whatever the font (IP address, MAC address, description).
constexpr int kColumnUnits[] = {60, 65, 80};
constexpr const char* kWidestCell[] = {"192.168.100.254", "DD:DD:DD:DD:DD:DD", ""};

constexpr const char* kEmulationOffText =
    "The embedded browser is disabled, please use right-click to launch an external browser instead";
constexpr const char* kEnableEmulationText =
    "Enabling the embedded browser is a single-time task requiring a restart with admin rights, do you "
    "want to enable it now?";

enum MenuItem : long { kLaunchHttp = 1, kLaunchHttps = 2, kEnableEmulation = 3, kCopyMac = 4 };

QString Text(const std::string& text) { return QString::fromStdString(text); }

QIcon Icon(const char* name) { return QIcon(QStringLiteral(":/IMAGE/icons/%1.png").arg(QLatin1String(name))); }

QPixmap Picture(const std::string& resourceName) {
  kwResource resources;
  QPixmap picture;
  if (resources.LoadImage(resourceName) != 0) {
    picture.loadFromData(QByteArray::fromStdString(resources.RESOURCEINFO.SDATA));
  }
  return picture;
}

}  // namespace

std::vector<LogoCarousel::Source> MainWindow::ProductLogos() {
  return {{"logos\\norvex_png", MakerSites::kNorvex},
          {"logos\\quellon_png", MakerSites::kQuellon},
          {"logos\\lumarc_png", MakerSites::kLumarc},
          {"logos\\drizmo_png", MakerSites::kDrizmo},
          {"logos\\hushden_png", MakerSites::kHushden}};
}

MainWindow::MainWindow(Options options, QWidget* parent)
    : QWidget(parent), options_(std::move(options)), ui_(std::make_unique<Ui::MainWindow>()), lookup_(vendors_.File()) {
  if (!options_.probe) {
    ownProbe_ = std::make_unique<NetworkScanProbe>();
    options_.probe = ownProbe_.get();
  }
  controller_ = std::make_unique<SweepController>(*this, *options_.probe, VendorRowLookup(lookup_));
  BuildControls();
  carousel_->Load(options_.logos.empty() ? ProductLogos() : options_.logos);
  vendors_.Prepare();
  controller_->lists.BYSHOWALL = 1;
  LoadAdapters();
  Dress();
  PlaceSlider();
  RegisterLayout();
  carousel_->Assign();
  Connect();
}

void MainWindow::Dress() {
  setWindowTitle(Text(tools_.JoinDetail(kProduct, tools_.GetFileVersion(kwTools::ProgramPath()))));
  setWindowIcon(QIcon(QStringLiteral(":/IMAGE/Application.png")));
  SetTimer(true);
  const QList<QWidget*> highlighted = {ui_->SADAPTER_NAME, ui_->SADAPTER_ADDRESS, ui_->LIST_DISPLAYQ};
  for (QWidget* control : highlighted) tools_.SetControlColour(control, kHighlight, true);

  SetStartButton("Start Scan", StartIcon::Play);
  ui_->ABOUTBUTTON->setIcon(Icon("info"));
  ui_->ADVANCEDBUTTON->setIcon(Icon("settings"));
  ui_->SENDORABUTTON->setIcon(Icon("Sendora"));
  ui_->LUMARCBUTTON->setIcon(Icon("Lumarc"));
  ui_->IMAGE_BYSHOWALL->setPixmap(Picture("Slider-On.png"));
  ui_->IMAGE_SENDORA->setPixmap(Picture("Logos\\Sendora.png"));
  ui_->IMAGE_QUARNEL->setPixmap(Picture("Logos\\Quarnel.png"));
  ui_->IMAGE_CAMVORA->setPixmap(Picture("Logos\\Camvora.png"));
  ui_->MAINIMAGE->setPixmap(Picture("Vantrel-Main.png"));
}

MainWindow::~MainWindow() {
  // The controls outlive this body: a focus change while they are torn down
  // (the start field's "editing finished") must not call back into a window
  // that is no longer one.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  // The list must stop reading DisplayQ before the controller that owns it goes.
  ui_->LIST_DISPLAYQ->setModel(nullptr);
  delete model_;
  if (busy_) QApplication::restoreOverrideCursor();
}

void MainWindow::BuildControls() {
  ui_->setupUi(this);
  DialogUnits::Apply(this);
  // uic wants C++ names; the rest of the program knows the option buttons by these.
  ui_->BYSCANMETHOD_RADIO1->setObjectName(QStringLiteral("BYSCANMETHOD:RADIO1"));
  ui_->BYSCANMETHOD_RADIO2->setObjectName(QStringLiteral("BYSCANMETHOD:RADIO2"));
  scanMethod_ = new QButtonGroup(this);
  scanMethod_->addButton(ui_->BYSCANMETHOD_RADIO1, 1);
  scanMethod_->addButton(ui_->BYSCANMETHOD_RADIO2, 2);

  QTableView* list = ui_->LIST_DISPLAYQ;
  model_ = new DeviceListModel(controller_->lists.DisplayQ, this);
  list->setModel(model_);
  list->verticalHeader()->hide();
  list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
  QHeaderView* header = list->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setStretchLastSection(true);
  const int padding = list->fontMetrics().horizontalAdvance(QLatin1Char('M'));
  for (int column = 0; column < 3; ++column) {
    const int widest = list->fontMetrics().horizontalAdvance(QLatin1String(kWidestCell[column])) + padding;
    header->resizeSection(column, std::max(DialogUnits::X(kColumnUnits[column]), widest));
  }
  list->viewport()->installEventFilter(this);

  carousel_ = std::make_unique<LogoCarousel>(
      std::array<QLabel*, LogoCarousel::kPlaces>{ui_->IMAGE_1, ui_->IMAGE_2, ui_->IMAGE_3, ui_->IMAGE_4, ui_->IMAGE_5},
      std::array<ClickRegion*, LogoCarousel::kPlaces>{ui_->REGION_1, ui_->REGION_2, ui_->REGION_3, ui_->REGION_4,
                                                      ui_->REGION_5});
  browser_ = std::make_unique<BrowserPane>(ui_->IE);
  // The installer's End key lands here, at the end of the start address.
  ui_->SADDRESS_INPUT->setFocus();
}

void MainWindow::LoadAdapters() {
  if (options_.fillAdapters) options_.fillAdapters(network_);
  else network_.GetAdapters(1);
  // Addresses added in this run are offered for removal when the window closes.
  RemoveAddressesWindow::Install(network_);
  const AdapterEntry* adapter = network_.CurrentAdapter();
  controller_->state.SADAPTER_NAME = adapter ? adapter->SZNAME : std::string();
  controller_->DeriveFromAdapterAddress(adapter ? adapter->SZIPADDRESS : std::string());
  ShowRange();

  for (const AdapterEntry& entry : network_.ADAPTERQ) ui_->SADAPTER_NAME->addItem(Text(entry.SZNAME));
  ShowAddresses();
}

void MainWindow::ShowAddresses() {
  QComboBox* addresses = ui_->SADAPTER_ADDRESS;
  addresses->clear();
  const AdapterEntry* adapter = network_.CurrentAdapter();
  if (!adapter) return;
  for (const std::string& address : adapter->IPADDRESSQ) addresses->addItem(Text(address));
  addresses->setCurrentIndex(addresses->findText(Text(controller_->state.SADAPTER_ADDRESS)));
}

void MainWindow::ShowRange() {
  const QSignalBlocker blockSpin(ui_->DWADDRESSES);
  ui_->SADDRESS_INPUT->setText(Text(controller_->state.SADDRESS_INPUT));
  ui_->DWADDRESSES->setValue(static_cast<int>(controller_->state.DWADDRESSES));
}

void MainWindow::PlaceSlider() {
  const QRect list = ui_->LIST_DISPLAYQ->geometry();
  const QRect slider(list.x() + list.width() - kSliderWidth, list.y() + list.height() + 5, kSliderWidth, kSliderHeight);
  ui_->IMAGE_BYSHOWALL->setGeometry(slider);
  ui_->REGION_BYSHOWALL->setGeometry(slider);
  QLabel* label = ui_->SHOWDEVICES;
  label->move(slider.x() - label->width() - 8, label->y());
}

void MainWindow::RegisterLayout() {
  layout_.Controls_Save(this);
  auto feq = [this](const QWidget* control) { return layout_.Feq(control); };
  const int list = feq(ui_->LIST_DISPLAYQ);
  layout_.SetStrategy(list, list, 0, 1, 0, 0, 0);
  layout_.SetStrategy(feq(ui_->IE), feq(ui_->MAINIMAGE), 1, 1, 0, 0, 0);
  layout_.SetStrategy(feq(ui_->PROMPT_CAUTION), feq(ui_->REGION_BYSHOWALL), 0, 0, 0, 1, 0);
  const int row = kwControlcl::ListRowHeight(ui_->LIST_DISPLAYQ);
  const int body = ui_->LIST_DISPLAYQ->height() - kwControlcl::ListChromeHeight(ui_->LIST_DISPLAYQ);
  const int rows = row > 0 ? body / row : 0;
  layout_.SetWholeRows(list, static_cast<unsigned char>(std::clamp(rows, 1, 255)));
}

void MainWindow::Connect() {
  connect(ui_->SADAPTER_NAME, &QComboBox::activated, this, &MainWindow::AdapterChosen);
  connect(ui_->SADAPTER_ADDRESS, &QComboBox::activated, this,
          [this](int position) { AddressChosen(ui_->SADAPTER_ADDRESS->itemText(position).toStdString()); });
  connect(ui_->SADDRESS_INPUT, &QLineEdit::textChanged, this,
          [this](const QString& text) { controller_->state.SADDRESS_INPUT = text.toStdString(); });
  connect(ui_->SADDRESS_INPUT, &QLineEdit::editingFinished, this, &MainWindow::StartAddressAccepted);
  connect(ui_->DWADDRESSES, &QSpinBox::valueChanged, this, &MainWindow::CountChanged);
  connect(scanMethod_, &QButtonGroup::idClicked, this,
          [this](int method) { controller_->state.BYSCANMETHOD = static_cast<unsigned char>(method); });
  connect(ui_->BYFINDNEWDEVICES, &QCheckBox::toggled, this,
          [this](bool on) { controller_->state.BYFINDNEWDEVICES = on ? 1 : 0; });

  connect(ui_->STARTBUTTON, &QPushButton::clicked, this, [this] { controller_->Start(); });
  connect(ui_->ADVANCEDBUTTON, &QPushButton::clicked, this, [this] { OpenAdvancedSettings(true); });
  connect(ui_->ABOUTBUTTON, &QPushButton::clicked, this, [this] {
    AboutWindow about(this);
    RunDialog(about);
  });
  connect(ui_->SENDORABUTTON, &QPushButton::clicked, this, [this] { OpenHelp("~Vantrel-Help-Screen.png"); });
  connect(ui_->LUMARCBUTTON, &QPushButton::clicked, this, [this] { OpenHelp("~Vantrel-Help-Screen-Lumarc.png"); });

  for (ClickRegion* region : findChildren<ClickRegion*>(Qt::FindDirectChildrenOnly)) {
    connect(region, &ClickRegion::released, this, [this, region] { RegionReleased(region); });
  }
  connect(&timer_, &QTimer::timeout, this, &MainWindow::TimerTick);
}

// ------------------------------------------------------------------ events

bool MainWindow::event(QEvent* event) {
  layout_.TakeEvent(*event);
  return QWidget::event(event);
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (opened_) return;
  opened_ = true;
  QTimer::singleShot(0, this, &MainWindow::Opened);
}

void MainWindow::Opened() {
  if (kwTools::HasSwitch(StartupSequence::kAdvancedSwitch, options_.commandLine)) {
    OpenAdvancedSettings(false);
    return;
  }
  // Whichever control has the focus once the window takes input gets the key.
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_End, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
  QCoreApplication::sendEvent(target, &release);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  network_.RemoveTemporaryAddresses(1);
  event->accept();
}

void MainWindow::PostCloseRequest() { QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); }

void MainWindow::AdapterChosen(int position) {
  if (position < 0 || !network_.SelectAdapter(static_cast<std::size_t>(position))) return;
  const AdapterEntry* adapter = network_.CurrentAdapter();
  controller_->state.SADAPTER_NAME = adapter->SZNAME;
  controller_->state.SADAPTER_ADDRESS = adapter->IPADDRESSQ.empty() ? std::string() : adapter->IPADDRESSQ.front();
  ShowAddresses();
  if (adapter->IPADDRESSQ.empty()) return;
  AddressChosen(adapter->IPADDRESSQ.front());
}

void MainWindow::AddressChosen(const std::string& address) {
  controller_->DeriveFromAdapterAddress(address);
  ShowRange();
}

void MainWindow::StartAddressAccepted() {
  // Leaving the field without typing is no new start address.
  if (!ui_->SADDRESS_INPUT->isModified()) return;
  ui_->SADDRESS_INPUT->setModified(false);
  controller_->StartAddressEdited();
  ShowRange();
}

void MainWindow::CountChanged(int count) {
  // Derived counts may be 0 or less; what the person types is 1 to 254.
  if (count < 1) {
    ui_->DWADDRESSES->setValue(1);
    return;
  }
  controller_->state.DWADDRESSES = count;
}

void MainWindow::RunDialog(QDialog& dialog) {
  if (options_.runDialog) options_.runDialog(dialog);
  else dialog.exec();
}

void MainWindow::OpenAdvancedSettings(bool examineRestart) {
  AdvancedSettingsWindow advanced(network_, this, controller_->state.SADAPTER_ADDRESS);
  RunDialog(advanced);
  // An address added there belongs in the address list.
  ShowAddresses();
  if (examineRestart && BYRESTARTASADMIN == 1) PostCloseRequest();
}

void MainWindow::OpenHelp(const std::string& pictureName) {
  HelpPictureWindow help(pictureName, this);
  RunDialog(help);
}

// ------------------------------------------------------------- device list

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != ui_->LIST_DISPLAYQ->viewport()) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton && RowAt(mouse->position().toPoint()) && BrowserShowing()) {
        ResetBrowserPane();
      }
      break;
    }
    case QEvent::MouseButtonDblClick: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const DeviceRow* row = RowAt(mouse->position().toPoint());
      if (mouse->button() == Qt::LeftButton && row) ShowPage(*row);
      break;
    }
    case QEvent::ContextMenu: {
      if (const DeviceRow* row = RowAt(static_cast<QContextMenuEvent*>(event)->pos())) ShowRowMenu(*row);
      return true;
    }
    default:
      break;
  }
  return false;
}

const DeviceRow* MainWindow::RowAt(const QPoint& viewportPosition) const {
  const QModelIndex index = ui_->LIST_DISPLAYQ->indexAt(viewportPosition);
  return index.isValid() ? model_->RowAt(index.row()) : nullptr;
}

bool MainWindow::BrowserShowing() const { return ui_->MAINIMAGE->isHidden(); }

void MainWindow::ShowPage(const DeviceRow& row) {
  if (BYBROWSEREMULATION == 0) {
    MessageService::Show(kEmulationOffText, kProduct);
    return;
  }
  ui_->MAINIMAGE->hide();
  ui_->IE->show();
  ui_->IE->raise();  // over the picture's background, which stays
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool shown = browser_->Navigate(QStringLiteral("http://") + Text(kwTools::Clip(row.SIPADDRESS)));
  QApplication::restoreOverrideCursor();
  // Without its engine the pane has nothing to show: back to the picture.
  if (!shown) ResetBrowserPane();
}

// Takes a copy: while the menu is open, answers may rebuild the list under it.
void MainWindow::ShowRowMenu(DeviceRow row) {  // NOLINT(performance-unnecessary-value-param)
  const std::string address = kwTools::Clip(row.SIPADDRESS);
  PopupMenucl menu;
  menu.AddText("Launch browser .. http://" + address);
  menu.AddText("Launch browser .. https://" + address);
  menu.AddSeparator();
  menu.AddItem("Enable Browser Emulation", BYBROWSEREMULATION == 1 ? 1 : 0);
  menu.AddSeparator();
  menu.AddText("Copy MAC Address to Clipboard");
  switch (menu.Show()) {
    case kLaunchHttp:
      OpenWebAddress("http://" + address);
      break;
    case kLaunchHttps:
      OpenWebAddress("https://" + address);
      break;
    case kEnableEmulation:
      AskEnableEmulation();
      break;
    case kCopyMac:
      CopyMac(row);
      break;
    default:
      break;
  }
}

void MainWindow::CopyMac(const DeviceRow& row) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return;
  clipboard->clear();
  const std::string mac = kwTools::Clip(row.SMAC);
  if (!mac.empty()) clipboard->setText(Text(mac));
}

void MainWindow::AskEnableEmulation() {
  if (MessageService::Show(kEnableEmulationText, kProduct, MessageIcon::Question, MessageButtons::YesNo) !=
      MessageAnswer::Yes) {
    return;
  }
  RequestAdminRestart(StartupSequence::kSetEmulationSwitch);
  PostCloseRequest();
}

// ------------------------------------------------------ regions and logos

void MainWindow::RegionReleased(ClickRegion* region) {
  if (region == ui_->REGION_SENDORA) OpenWebAddress(MakerSites::kSendora);
  else if (region == ui_->REGION_QUARNEL) OpenWebAddress(MakerSites::kQuarnelHome);
  else if (region == ui_->REGION_CAMVORA) OpenWebAddress(MakerSites::kQuarnelStore);
  else if (region == ui_->REGION_BYSHOWALL) ToggleShowAll();
  else if (const LogoCarousel::Logo* logo = carousel_->FindByRegion(region)) OpenWebAddress(logo->SURL);
}

void MainWindow::ToggleShowAll() {
  controller_->ToggleShowAll();
  ui_->IMAGE_BYSHOWALL->setPixmap(Picture(controller_->lists.BYSHOWALL ? "Slider-On.png" : "Slider-Off.png"));
}

void MainWindow::OpenWebAddress(const std::string& url) { tools_.ShellRun(url); }

void MainWindow::TimerTick() { carousel_->Tick(!controller_->ThreadQ.empty(), width()); }

// --------------------------------------------------------------- SweepView

void MainWindow::SetStartButton(const std::string& text, StartIcon icon) {
  QPushButton* start = ui_->STARTBUTTON;
  start->setText(Text(text));
  start->setIcon(icon == StartIcon::Play ? Icon("action_play") : icon == StartIcon::Info ? Icon("info") : QIcon());
  // The start loop handles no events, so the count is painted here and now.
  start->repaint();
}

void MainWindow::SetStartEnabled(bool enabled) { ui_->STARTBUTTON->setEnabled(enabled); }

void MainWindow::SetShowAllLabel(const std::string& text) { ui_->SHOWDEVICES->setText(Text(text)); }

void MainWindow::SetBusyCursor(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void MainWindow::SetTimer(bool on) {
  if (on) timer_.start(kTimerMs);
  else timer_.stop();
}

void MainWindow::ResetBrowserPane() {
  if (BrowserShowing()) {
    ui_->IE->hide();
    ui_->MAINIMAGE_BACKGROUND->show();
    ui_->MAINIMAGE->show();
  }
  browser_->Blank();
}

void MainWindow::DisplayChanged() { model_->Refresh(); }

void MainWindow::OpenNewDevices() {
  NewDevicesWindow newDevices(controller_->lists.NewDeviceQ, this);
  RunDialog(newDevices);
}
