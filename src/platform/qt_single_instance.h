#pragma once
#include <QLocalServer>
#include <QObject>
#include <QString>

namespace quillon::platform {

// One running copy per user. The first copy listens on a private local socket; a later copy
// connects, sends the activation message and ends without passing on anything else.
class SingleInstance : public QObject {
  Q_OBJECT

public:
  // The socket's name: "QLN_Running-" and the user, inside the user's runtime folder when
  // there is one so that no other user can stand in for the running copy.
  static QString defaultServerName();

  explicit SingleInstance(QString serverName = defaultServerName(), QObject* parent = nullptr);

  // True when another copy answered and was told to come to the front.
  bool activateRunningCopy(int timeoutMs = 1000);
  // Starts listening; false when the socket cannot be made (the program then runs alone
  // without the handshake). A socket file left by a copy that crashed is replaced.
  bool listen();

signals:
  void activationRequested();

private:
  void readActivation(class QLocalSocket* socket);

  QString serverName_;
  QLocalServer server_;
};

}  // namespace quillon::platform
