#include "windows/FirewallRulesWindow.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "toolkit/widgets/DialogUnits.h"

FirewallRulesWindow::FirewallRulesWindow(const std::string& ruleset, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Firewall Rules"));
  auto* layout = new QVBoxLayout(this);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("RULESET"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text_->setTabStopDistance(4 * text_->fontMetrics().horizontalAdvance(QLatin1Char(' ')));  // nft indents with tabs
  text_->setPlainText(QString::fromStdString(ruleset));
  layout->addWidget(text_);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("CLOSEBUTTON"));
  layout->addWidget(close, 0, Qt::AlignRight);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(DialogUnits::X(400), DialogUnits::Y(200));
}

QString FirewallRulesWindow::Text() const { return text_->toPlainText(); }
