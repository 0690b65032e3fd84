#include "toolkit/ProcessShellLauncher.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <fstream>
#include <iterator>

namespace {
// pkexec's own exit codes: the user dismissed the prompt, or was not authorised.
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorised = 127;

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// The environment a desktop program of user uid needs: who it is, where its
// display and its session bus are. Nothing of root's own environment but PATH.
QProcessEnvironment UserEnvironment(int uid, const passwd* account) {
  const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
  QProcessEnvironment env;
  env.insert(QStringLiteral("PATH"), own.value(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin")));
  env.insert(QStringLiteral("HOME"), account ? QString::fromLocal8Bit(account->pw_dir) : QStringLiteral("/"));
  if (account) {
    env.insert(QStringLiteral("USER"), QString::fromLocal8Bit(account->pw_name));
    env.insert(QStringLiteral("LOGNAME"), QString::fromLocal8Bit(account->pw_name));
  }
  for (const char* name : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "LANG"}) {
    const QString key = QString::fromLatin1(name);
    if (own.contains(key)) env.insert(key, own.value(key));
  }
  const std::string runtime = "/run/user/" + std::to_string(uid);
  if (Exists(runtime)) {
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Q(runtime));
    if (Exists(runtime + "/bus"))
      env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), Q("unix:path=" + runtime + "/bus"));
  }
  return env;
}
}  // namespace

ProcessShellLauncher::ProcessShellLauncher() : ProcessShellLauncher(Settings{.runningAsRoot = ::geteuid() == 0}) {}

ProcessShellLauncher::ProcessShellLauncher(Settings settings) : settings_(std::move(settings)) {}

bool ProcessShellLauncher::PolicyCovers(const std::string& program) const {
  std::ifstream in(settings_.policyFolder + "/" + kPolicyFile);
  if (!in) return false;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string annotation = "<annotate key=\"org.freedesktop.policykit.exec.path\">" + program + "</annotate>";
  return text.find(annotation) != std::string::npos;
}

bool ProcessShellLauncher::Launch(const ShellRequest& request) {
  if (request.file.empty()) return false;

  QString program;
  QStringList args;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  const bool viaPkexec = request.elevate && !settings_.runningAsRoot;
  if (viaPkexec && PolicyCovers(request.file)) {
    // Our own action: the prompt names Vantrel, and pkexec keeps DISPLAY and
    // XAUTHORITY (allow_gui) from the environment we hand it.
    program = QStringLiteral("pkexec");
    args << Q(request.file);
    for (const auto& v : request.environment) {
      const auto eq = v.find('=');
      if (eq != std::string::npos) env.insert(Q(v.substr(0, eq)), Q(v.substr(eq + 1)));
    }
  } else if (viaPkexec) {
    // pkexec's generic action clears the environment; env puts back what the
    // new instance needs to reach the user's display.
    program = QStringLiteral("pkexec");
    if (!request.environment.empty()) {
      args << QStringLiteral("env");
      for (const auto& v : request.environment) args << Q(v);
    }
    args << Q(request.file);
  } else if (request.kind == ShellRequest::Kind::Document && settings_.runningAsRoot) {
    if (request.userId <= 0) return false;
    const passwd* account = ::getpwuid(static_cast<uid_t>(request.userId));
    const QString id = QString::number(request.userId);
    program = QStringLiteral("setpriv");
    args << (QStringLiteral("--reuid=") + id)
         << (QStringLiteral("--regid=") +
             QString::number(account ? account->pw_gid : static_cast<gid_t>(request.userId)))
         << (account ? QStringLiteral("--init-groups") : QStringLiteral("--clear-groups"))
         << QStringLiteral("--inh-caps=-all") << QStringLiteral("--") << QStringLiteral("xdg-open") << Q(request.file);
    env = UserEnvironment(request.userId, account);
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
  process.setProcessEnvironment(env);
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
  if (viaPkexec && (code == kPkexecDismissed || code == kPkexecNotAuthorised)) return false;
  return code == 0;
}
