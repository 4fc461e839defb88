#include "window/qt/target_opener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace {

bool StartBrowser(const QString& program, const QString& target) {
  if (program.isEmpty()) return false;
  const QString path = QStandardPaths::findExecutable(program);
  if (path.isEmpty()) return false;
  return QProcess::startDetached(path, QStringList{target});
}

}  // namespace

bool OpenTargetInBrowser(const QString& target) {
  if (target.isEmpty()) return false;
  if (QDesktopServices::openUrl(QUrl(target))) return true;
  // Debian's alternatives name the registered browser x-www-browser; many
  // desktops name it in BROWSER instead.
  if (StartBrowser(QStringLiteral("x-www-browser"), target)) return true;
  return StartBrowser(QProcessEnvironment::systemEnvironment().value(QStringLiteral("BROWSER")),
                      target);
}
