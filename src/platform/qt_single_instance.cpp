#include "platform/qt_single_instance.h"

#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace quillon::platform {

namespace {
// The activation message, after the user message the Windows program posted (0x400 + 0x1000).
const QByteArray kActivate = "QLN 0x1400\n";
}  // namespace

QString SingleInstance::defaultServerName() {
  QString user = qEnvironmentVariable("USER");
  if (user.isEmpty()) user = QString::number(::getuid());
  const QString name = "QLN_Running-" + user;
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return runtime.isEmpty() ? name : runtime + "/" + name;
}

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readActivation(socket); });
      if (socket->bytesAvailable() > 0) readActivation(socket);
    }
  });
}

bool SingleInstance::activateRunningCopy(int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kActivate);
  socket.flush();
  socket.waitForBytesWritten(timeoutMs);
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
  return true;
}

bool SingleInstance::listen() {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(serverName_)) return true;
  if (server_.serverError() != QAbstractSocket::AddressInUseError) return false;
  // Nobody answered on it (activateRunningCopy ran first), so the file is stale.
  QLocalServer::removeServer(serverName_);
  return server_.listen(serverName_);
}

void SingleInstance::readActivation(QLocalSocket* socket) {
  if (socket->bytesAvailable() < kActivate.size() && !socket->canReadLine()) return;
  const QByteArray message = socket->readLine(kActivate.size() + 1);
  socket->disconnectFromServer();
  if (message == kActivate) emit activationRequested();
}

}  // namespace quillon::platform
