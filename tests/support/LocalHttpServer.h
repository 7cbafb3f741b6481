#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>

// A one-file HTTP server on 127.0.0.1 for the tests: answers every GET with
// the body (or stays silent after accepting, when `silent`), and keeps the
// requests it saw. UI thread only.
class LocalHttpServer : public QTcpServer {
 public:
  LocalHttpServer() {
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
          const QByteArray request = socket->readAll();
          requests << request;
          if (silent) return;
          socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " +
                        QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
          socket->disconnectFromHost();
        });
      }
    });
  }

  QString Address() const { return QString("http://127.0.0.1:%1/oxbel/oxbelnet.xml").arg(serverPort()); }

  QByteArray body;
  QByteArray status = "200 OK";
  bool silent = false;
  QList<QByteArray> requests;
};
