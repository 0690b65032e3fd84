#include "windows/AdvancedSettingsWindow.h"

#include <QIcon>
#include <QLabel>
#include <QList>
#include <QMetaObject>
#include <QPalette>
#include <QProcess>
#include <QPushButton>
#include <QShowEvent>
#include <QStandardPaths>
#include <QStyle>
#include <QTabWidget>
#include <algorithm>
#include <utility>

#include "net/kwIPcl.h"
#include "scan/IPv4.h"
#include "toolkit/MessageService.h"
#include "toolkit/ProcessFlags.h"
#include "toolkit/kwTools.h"
#include "toolkit/widgets/DialogUnits.h"
#include "ui_AdvancedSettingsWindow.h"
#include "windows/FirewallRulesWindow.h"
#include "windows/RemoveAddressesWindow.h"

namespace {
constexpr std::size_t kFieldLength = 20;

AdvancedSettingsWindow::ElevationCheck& Elevation() {
  static AdvancedSettingsWindow::ElevationCheck check;
  return check;
}

AdvancedSettingsWindow::RulesetReader& Ruleset() {
  static AdvancedSettingsWindow::RulesetReader reader;
  return reader;
}

std::string ReadRulesetWithNft() {
  QProcess nft;
  nft.start(QString::fromStdString(kwTools().BuildPath(kwTools().GetSpecialFolder(kwTools::kSystemFolder),
                                                       AdvancedSettingsWindow::kFirewallProgram)),
            {QStringLiteral("list"), QStringLiteral("ruleset")});
  if (!nft.waitForStarted(5000)) return "nft could not be started.";
  nft.waitForFinished(10000);
  const QByteArray out = nft.readAllStandardOutput();
  if (nft.exitStatus() == QProcess::NormalExit && nft.exitCode() == 0) {
    return out.isEmpty() ? std::string("The ruleset is empty.") : out.toStdString();
  }
  return "nft list ruleset failed:\n" + nft.readAllStandardError().toStdString();
}

// The distribution's own firewall console, when one is installed.
QString FirewallConsole() {
  for (const char* name : {"firewall-config", "gufw"}) {
    QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (!path.isEmpty()) return path;
  }
  return {};
}

// The tab texts are single lines placed for a narrow window font. Where the
// system's font makes a line wider than its page, the line wraps and the texts
// below it move down just enough; where everything fits, nothing moves.
void FlowTexts(QWidget* page, int pageWidth) {
  QList<QLabel*> texts = page->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
  std::sort(texts.begin(), texts.end(), [](const QLabel* a, const QLabel* b) { return a->y() < b->y(); });
  const int margin = DialogUnits::X(4);
  int bottom = 0;
  for (QLabel* text : texts) {
    QRect r = text->geometry();
    const int room = pageWidth - r.x() - margin;
    if (r.width() > room) {
      text->setWordWrap(true);
      r.setWidth(room);
      r.setHeight(text->heightForWidth(room));
    }
    if (r.y() < bottom) r.moveTop(bottom);
    text->setGeometry(r);
    bottom = r.bottom() + 1;
  }
}

std::string Padded(std::string text) {
  if (text.size() < kFieldLength) text.resize(kFieldLength, ' ');
  return text;
}
}  // namespace

AdvancedSettingsWindow::ElevationCheck AdvancedSettingsWindow::SetElevationCheck(ElevationCheck check) {
  return std::exchange(Elevation(), std::move(check));
}

AdvancedSettingsWindow::RulesetReader AdvancedSettingsWindow::SetRulesetReader(RulesetReader reader) {
  return std::exchange(Ruleset(), std::move(reader));
}

std::string AdvancedSettingsWindow::OpeningAddress(const std::string& adapterAddress) {
  const Octets octets = IPv4::ParseIPv4(kwTools::Clip(adapterAddress));
  return "192.168.10." + std::to_string(octets[3]);
}

std::string AdvancedSettingsWindow::ProposedAddress(int tab, const std::string& adapterAddress) {
  const Octets octets = IPv4::ParseIPv4(kwTools::Clip(adapterAddress));
  // The factory address of both families ends in .1 or .123; a proposal of .1
  // would take the camera's own address.
  const unsigned n = octets[3] == 1 ? 2u : octets[3];
  switch (tab) {
    case kCameras:
      return "192.168.10." + std::to_string(n);
    case kSendoras:
      return "192.168.1." + std::to_string(n);
    default:
      return {};
  }
}

AdvancedSettingsWindow::AdvancedSettingsWindow(kwIPcl& network, QWidget* parent, const std::string& adapterAddress)
    : QDialog(parent), network_(network), ui_(std::make_unique<Ui::AdvancedSettingsWindow>()) {
  adapterAddress_ = kwTools::Clip(adapterAddress);
  if (adapterAddress_.empty()) {
    if (const AdapterEntry* adapter = network_.CurrentAdapter()) {
      adapterAddress_ = adapter->SZIPADDRESS;
      if (adapterAddress_.empty() && !adapter->IPADDRESSQ.empty()) adapterAddress_ = adapter->IPADDRESSQ.front();
    }
  }
  // Only this window adds addresses, so the window that offers to remove them
  // is in place whenever there is something to remove.
  RemoveAddressesWindow::Install(network_);

  ui_->setupUi(this);
  QStyle* s = style();
  ui_->SHEET1->setTabIcon(kInformation, s->standardIcon(QStyle::SP_MessageBoxInformation));
  ui_->SHEET1->setTabIcon(kCameras, QIcon(QStringLiteral(":/WINDOWS/tab-lumarc.png")));
  ui_->SHEET1->setTabIcon(kSendoras, QIcon(QStringLiteral(":/WINDOWS/tab-sendora.png")));
  ui_->SHEET1->setTabIcon(kFirewall, QIcon(QStringLiteral(":/WINDOWS/tab-secure-add.png")));
  ui_->RESTARTBUTTON->setIcon(s->standardIcon(QStyle::SP_DialogApplyButton));
  ui_->SAVEBUTTON->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
  ui_->CANCELBUTTON->setIcon(s->standardIcon(QStyle::SP_DialogCancelButton));
  QPalette warning = ui_->STRING04_2->palette();
  warning.setColor(QPalette::WindowText, QColor(255, 0, 0));
  ui_->STRING04_2->setPalette(warning);
  // Sizes left to the definition come from the controls' final contents.
  DialogUnits::Apply(this);
  // A tab page is as wide as the tab set less the set's frame.
  const int pageWidth = ui_->SHEET1->width() - 2 * ui_->SHEET1->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
  for (int i = 0; i < ui_->SHEET1->count(); ++i) {
    DialogUnits::Apply(ui_->SHEET1->widget(i));
    FlowTexts(ui_->SHEET1->widget(i), pageWidth);
  }
  setFixedSize(size());

  ui_->SIPADDRESS->setText(QString::fromStdString(OpeningAddress(adapterAddress_)));
  ui_->SSUBNETMASK->setText(QStringLiteral("255.255.255.0"));

  // Enter in an entry must not press a button the person did not choose.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);

  const int elevated = Elevation() ? Elevation()() : kwTools().IsElevated();
  ui_->ADMINMSG->setVisible(elevated == 0);
  ui_->RESTARTBUTTON->setVisible(elevated == 0);
  if (elevated == 0) {
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->STRING_IPADDRESS, ui_->STRING_SUBNETMASK, ui_->SIPADDRESS,
                                                      ui_->SSUBNETMASK, ui_->SAVEBUTTON}) {
      w->hide();
    }
    ui_->CREATFIREWALLRULLBUTTON->setEnabled(false);
    ui_->SHOWFIREWALLRULESBUTTON->setEnabled(false);
  }

  connect(ui_->SHEET1, &QTabWidget::currentChanged, this, &AdvancedSettingsWindow::TabChosen);
  connect(ui_->SAVEBUTTON, &QPushButton::clicked, this, &AdvancedSettingsWindow::AddAddress);
  connect(ui_->CANCELBUTTON, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_->CREATFIREWALLRULLBUTTON, &QPushButton::clicked, this, &AdvancedSettingsWindow::CreateFirewallRule);
  connect(ui_->SHOWFIREWALLRULESBUTTON, &QPushButton::clicked, this, &AdvancedSettingsWindow::ShowFirewallRules);
  connect(ui_->RESTARTBUTTON, &QPushButton::clicked, this, &AdvancedSettingsWindow::RestartAsAdmin);
}

AdvancedSettingsWindow::~AdvancedSettingsWindow() = default;

void AdvancedSettingsWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui_->CANCELBUTTON->setFocus(Qt::OtherFocusReason);
}

void AdvancedSettingsWindow::TabChosen(int tab) {
  const std::string address = ProposedAddress(tab, adapterAddress_);
  if (address.empty()) return;
  ui_->SIPADDRESS->setText(QString::fromStdString(address));
  ui_->SSUBNETMASK->setText(QStringLiteral("255.255.255.0"));
}

void AdvancedSettingsWindow::AddAddress() {
  const std::string field = ui_->SIPADDRESS->text().left(kFieldLength).toStdString();
  const std::string mask = ui_->SSUBNETMASK->text().left(kFieldLength).toStdString();
  const std::string address = kwTools::Clip(field);

  if (const AdapterEntry* adapter = network_.CurrentAdapter()) {
    const auto& known = adapter->IPADDRESSQ;
    if (std::find(known.begin(), known.end(), address) != known.end()) {
      MessageService::Show("The current adapter already has address = " + address + ", it cannot be added again",
                           "Error");
      return;
    }
  }
  if (network_.AddTemporaryAddress(field, mask, 0)) {
    MessageService::Show("The address " + address +
                             " was added successfully.||This is not a persitent address, it can be removed by this "
                             "program when it closes, or by the operating system next time the adapter is reset or "
                             "the PC is restarted.",
                         "Information", MessageIcon::Tick);
    accept();
    return;
  }
  MessageService::Show("An error was encounted adding the new address " + Padded(field), "Information",
                       MessageIcon::Cross);
}

void AdvancedSettingsWindow::CreateFirewallRule() {
  const MessageAnswer answer = MessageService::Show(
      "Caution:||This feature will create an inbound firewall rule called 'Ping' allowing this PC to respond to ping "
      "requests on every profile (Domain/Private/Public).||Please confirm you wish to do this?",
      "Question", MessageIcon::Warning, MessageButtons::YesNo);
  if (answer != MessageAnswer::Yes) return;
  const kwTools tools;
  const std::string nft = tools.BuildPath(tools.GetSpecialFolder(kwTools::kSystemFolder), kFirewallProgram);
  const bool ran = tools.ShellRun(nft, kFirewallParameters, {}, true, true, true);
  MessageService::Show(ran ? "Firewall rule created" : "Firewall rule creation failed", "Information",
                       MessageIcon::Tick);
}

void AdvancedSettingsWindow::ShowFirewallRules() {
  const QString console = FirewallConsole();
  if (!console.isEmpty()) {
    kwTools().ShellRun(console.toStdString());
    return;
  }
  FirewallRulesWindow rules(Ruleset() ? Ruleset()() : ReadRulesetWithNft(), this);
  rules.exec();
}

void AdvancedSettingsWindow::RestartAsAdmin() {
  RequestAdminRestart("/Advanced");
  QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}
