#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMessageBox>

#include "core/own_texts.h"
#include "ui/f_control.h"
#include "ui/f_monitor.h"
#include "ui/modal.h"
#include "ui/qt_texts.h"
#include "ui/windows.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vexa::ui {

namespace {

constexpr char kToFront[] = "to-front\n";

}  // namespace

TSingleInstance::TSingleInstance(const QString& configDir)
    : dir_(configDir), lock_(QDir(configDir).filePath(QString::fromLatin1(kLockFileName))) {
  // A session runs for hours: a lock is stale only when its program is gone
  // (the process check), never for its age.
  lock_.setStaleLockTime(0);
}

TSingleInstance::~TSingleInstance() {
  if (server_) server_->close();
  lock_.unlock();  // harmless when not held
}

QString TSingleInstance::ServerName(const QString& configDir) {
  QString canonical = QFileInfo(configDir).canonicalFilePath();
  if (canonical.isEmpty()) canonical = QDir::cleanPath(QDir(configDir).absolutePath());
#ifdef _WIN32
  canonical = canonical.toLower();  // one folder, however its letters are cased
#endif
  const QByteArray hash =
      QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  return QStringLiteral("vexa-") + QString::fromLatin1(hash);
}

TSingleInstance::Start TSingleInstance::Acquire(int waitMs) {
  if (lock_.tryLock(0)) return Start::kFirst;
  if (lock_.error() != QLockFile::LockFailedError) return Start::kUnlocked;
#ifdef _WIN32
  // Windows hands the foreground only to a program the active one allows.
  qint64 pid = 0;
  QString host, app;
  if (lock_.getLockInfo(&pid, &host, &app) && pid > 0) {
    AllowSetForegroundWindow(static_cast<DWORD>(pid));
  }
#endif
  if (AskToFront(waitMs)) return Start::kRunning;
  // Nobody listens: the holder is still starting, or it is ending (it stops
  // listening before it writes its settings) and gives the lock up in a
  // moment. A start just after the program closed then runs.
  if (lock_.tryLock(waitMs)) return Start::kFirst;
  return lock_.error() == QLockFile::LockFailedError ? Start::kRunning : Start::kUnlocked;
}

void TSingleInstance::StopListening() {
  if (server_) server_->close();
  server_.reset();
}

bool TSingleInstance::AskToFront(int waitMs) {
  QLocalSocket socket;
  socket.connectToServer(ServerName(dir_));
  if (!socket.waitForConnected(waitMs)) return false;
  socket.write(kToFront);
  const bool sent = socket.waitForBytesWritten(waitMs);
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(waitMs);
  return sent;
}

bool TSingleInstance::Listen(std::function<void()> raise) {
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  const QString name = ServerName(dir_);
  // Only the lock holder listens, so a socket left by a crashed program is
  // an old one to clear.
  QLocalServer::removeServer(name);
  if (!server_->listen(name)) return false;
  QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(),
                   [server = server_.get(), raise = std::move(raise)] {
                     while (QLocalSocket* s = server->nextPendingConnection()) {
                       QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
                       QObject::connect(s, &QLocalSocket::readyRead, s, [s, raise] {
                         if (s->readAll().contains('\n')) raise();
                       });
                       if (s->bytesAvailable() > 0) emit s->readyRead();
                     }
                   });
  return true;
}

void TellAlreadyRunning(const QString& configDir, int language) {
  ApplyQtLanguage(language);  // the box's button too
  QMessageBox box(QMessageBox::Information, QStringLiteral("VEXA"),
                  QString::fromStdString(FormatOwn(Own::kAlreadyRunning, language,
                                                   {QDir::toNativeSeparators(configDir).toStdString()})),
                  QMessageBox::Ok);
  RunModal(box);
}

void BringWindowsToFront() {
  for (QWidget* w : {static_cast<QWidget*>(F_MONITOR), static_cast<QWidget*>(F_CONTROL)}) {
    if (!w) continue;
    if (w->isMinimized()) w->showNormal();
    w->show();
    w->raise();
  }
  // The panel last: it stays above the monitor and takes the keys.
  if (F_CONTROL) F_CONTROL->activateWindow();
}

}  // namespace vexa::ui
