#include "shell/BrowserEmulation.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <cstdlib>

#include "toolkit/MessageService.h"
#include "toolkit/kwTools.h"

namespace {
const QString kGroup = QStringLiteral("FEATURE_BROWSER_EMULATION");

// Numeric value of a stored text the way the program has always read it:
// leading digits count, anything after them does not, no digits give 0.
long LeadingNumber(const std::string& text) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return 0;
  bool negative = false;
  if (text[i] == '-' || text[i] == '+') negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value > 100000000L) break;  // at most 32 characters are kept anyway; never overflow
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}
}  // namespace

BrowserEmulation::BrowserEmulation(std::string programPath, std::string folder)
    : programPath_(std::move(programPath)), folder_(std::move(folder)) {
  if (folder_.empty()) {
    const char* env = std::getenv("VANTREL_SYSCONFDIR");
    folder_ = env && *env ? env : "/etc/vantrel";
  }
}

std::string BrowserEmulation::FilePath() const { return folder_ + "/browser-emulation.conf"; }

std::string BrowserEmulation::ValueName() const { return kwTools::Clip(kwTools().FileNameOf(programPath_)); }

long BrowserEmulation::GetEmulation() const {
  const std::string name = ValueName();
  if (name.empty() || !QFileInfo::exists(QString::fromStdString(FilePath()))) return 0;
  QSettings settings(QString::fromStdString(FilePath()), QSettings::IniFormat);
  if (settings.status() != QSettings::NoError) return 0;
  settings.beginGroup(kGroup);
  std::string text = settings.value(QString::fromStdString(name)).toString().toStdString();
  if (text.size() > 32) text.resize(32);
  return LeadingNumber(text);
}

void BrowserEmulation::SetEmulation() const {
  const std::string name = ValueName();
  bool ok = !name.empty() && QDir().mkpath(QString::fromStdString(folder_));
  if (ok) {
    QSettings settings(QString::fromStdString(FilePath()), QSettings::IniFormat);
    settings.beginGroup(kGroup);
    settings.setValue(QString::fromStdString(name), static_cast<int>(kUsable));
    settings.endGroup();
    settings.sync();
    ok = settings.status() == QSettings::NoError;
    // Readable by every user so that ordinary instances see it; written only by root.
    if (ok) ::chmod(FilePath().c_str(), 0644);
  }
  if (!ok) {
    MessageService::Show(
        "An error was encountered setting browser emulation for this application, the embedded "
        "browser is disabled so your default browser will be used instead.",
        "Vantrel", MessageIcon::Warning);
  }
}
