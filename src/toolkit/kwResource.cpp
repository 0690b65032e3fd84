#include "toolkit/kwResource.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QString>

#include "toolkit/MessageService.h"
#include "toolkit/callDLLcl.h"
#include "toolkit/kwTools.h"

namespace {
// One index of every compiled-in resource, keyed "type/name" in lower case.
// Rebuilt after a resource library is loaded, since its resources register
// themselves when it is mapped.
class ResourceIndex {
 public:
  static ResourceIndex& Instance() {
    static ResourceIndex index;
    return index;
  }
  void Invalidate() {
    QMutexLocker lock(&mutex_);
    built_ = false;
  }
  QString Find(const std::string& type, const std::string& name) {
    QMutexLocker lock(&mutex_);
    if (!built_) Build();
    // Names keep the folder they were compiled from, written with a backslash
    // (logos\norvex_png); the resource tree separates folders with "/".
    QString key = QString::fromStdString(type + "/" + name).toLower();
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return paths_.value(key);
  }

 private:
  void Build() {
    paths_.clear();
    QDirIterator it(QStringLiteral(":/"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      paths_.insert(path.mid(2).toLower(), path);  // ":/IMAGE/x" -> "image/x"
    }
    built_ = true;
  }
  QMutex mutex_;
  QHash<QString, QString> paths_;
  bool built_ = false;
};
}  // namespace

kwResource::kwResource() : CALLDLL(std::make_unique<callDLLcl>()) {}

kwResource::~kwResource() = default;

void kwResource::Debug(const std::string& caption, const std::string& text) const {
  if (BYDEBUG) MessageService::Show(text, caption);
}

void kwResource::Init(const std::string& modulePath, unsigned char debug) {
  SZDLLNAME = kwTools::Cut(modulePath, 255);
  BYDEBUG = debug;
  Debug("kwResource.Init", "inDLL = " + modulePath + "|inDebug = " + std::to_string(debug));
  // The program's own resources need no loading: they are always registered.
  const std::string clipped = kwTools::Clip(modulePath);
  if (clipped.empty() || clipped == kwTools::ProgramPath()) return;
  if (CALLDLL->Load(clipped, debug) != 0) return;
  ResourceIndex::Instance().Invalidate();
  if (clipped != "kwResource.dll") return;

  auto fetch = [this](const std::string& name, std::string& into) {
    const unsigned long size = LoadImage(name);
    if (size) into = RESOURCEINFO.SDATA;
    Debug("kwResource.InitDLL", "Debug: |LoadResourceByName dwResult = " + std::to_string(size) +
                                    "|ResourceInfo.dwSize = " + std::to_string(RESOURCEINFO.DWSIZE) +
                                    "|ResourceInfo.sData = " + RESOURCEINFO.SDATA);
  };
  fetch("APPLICATION_PNG", SAPPLICATIONIMAGE);
  fetch("APPLICATION-BANNER_PNG", SAPPLICATIONBANNER);
  SAPPLICATIONICON = "kwResource.dll[0]";
}

unsigned long kwResource::LoadResourceByName(const std::string& name, const std::string& type) {
  Debug("kwResource.LoadResourceByName", "inResourceName = " + name);
  const QString path =
      ResourceIndex::Instance().Find(kwTools::Cut(kwTools::Clip(type), 127), kwTools::Cut(kwTools::Clip(name), 127));
  if (path.isEmpty()) return 0;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  const QByteArray bytes = file.readAll();
  if (bytes.isEmpty()) return 0;
  RESOURCEINFO.SDATA.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  RESOURCEINFO.DWSIZE = static_cast<unsigned long>(bytes.size());
  Debug("kwResource.LoadResourceByName",
        "inResourceName = " + name + "|dwResourceSize = " + std::to_string(RESOURCEINFO.DWSIZE));
  return RESOURCEINFO.DWSIZE;
}

void kwResource::SaveResource(const std::string& fileName) const {
  if (RESOURCEINFO.DWSIZE == 0) return;
  kwTools().SaveToFile(RESOURCEINFO.SDATA, fileName);
}
