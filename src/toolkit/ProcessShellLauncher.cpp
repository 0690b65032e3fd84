#include "toolkit/ProcessShellLauncher.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace {
// pkexec's own exit codes: the user dismissed the prompt, or was not authorised.
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorised = 127;

QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

bool ProcessShellLauncher::Launch(const ShellRequest& request) {
  if (request.file.empty()) return false;

  QString program;
  QStringList args;
  if (request.elevate) {
    // pkexec clears the environment; env puts back what the new instance needs to
    // reach the user's display.
    program = QStringLiteral("pkexec");
    if (!request.environment.empty()) {
      args << QStringLiteral("env");
      for (const auto& v : request.environment) args << Q(v);
    }
    args << Q(request.file);
  } else if (request.kind == ShellRequest::Kind::Document) {
    program = QStringLiteral("xdg-open");
    args << Q(request.file);
  } else {
    program = Q(request.file);
  }
  for (const auto& a : request.arguments) args << Q(a);

  QProcess process;
  process.setProgram(program);
  process.setArguments(args);
  if (!request.directory.empty()) process.setWorkingDirectory(Q(request.directory));
  if (request.hidden) {
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
  }
  if (!request.wait) return process.startDetached();

  process.start();
  if (!process.waitForStarted(-1)) return false;
  process.waitForFinished(-1);
  if (process.exitStatus() != QProcess::NormalExit) return false;
  const int code = process.exitCode();
  if (request.elevate && (code == kPkexecDismissed || code == kPkexecNotAuthorised)) return false;
  return code == 0;
}
