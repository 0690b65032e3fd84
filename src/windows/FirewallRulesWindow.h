#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;

// The stand-in for a firewall console where the distribution has none: the
// current ruleset, read-only.
class FirewallRulesWindow : public QDialog {
  Q_OBJECT

 public:
  explicit FirewallRulesWindow(const std::string& ruleset, QWidget* parent = nullptr);

  QString Text() const;

 private:
  QPlainTextEdit* text_ = nullptr;
};
