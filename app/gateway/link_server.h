// The gateway's end of the local channel: a QLocalServer through which web server clients hand
// in commands (queued through Form_LinkExecute), read the notice labels lnkWWW(n) and ask to be
// told of their changes. It also runs Timer1 as a QTimer that follows the window model.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

class QLocalServer;
class QLocalSocket;

namespace ostravel {

class Session;

class LinkServer : public QObject {
 public:
  // How Timer1 paces the queue. With a window, a tick every 10 ms leaves the window time to
  // stay responsive between commands; without one there is nothing to keep responsive, and
  // the commands are worked back to back (still one at a time, in arrival order, each after
  // the channel's pending events).
  enum class Pace { Tick, BackToBack };

  explicit LinkServer(Session& s, Pace pace = Pace::Tick, QObject* parent = nullptr);
  ~LinkServer() override;

  // Opens the register folder (OSTRAVEL_REGISTER, else "register" in the program folder) and
  // listens at OSTRAVEL_CHANNEL, else "calc.sock" in the register folder, readable and
  // writable by the owner only. False with a message in *error when it cannot listen, for
  // example because another Ostravel is listening there.
  bool Start(QString* error = nullptr);
  // Stops listening, closes every connection and removes the channel.
  void Stop();
  QString ChannelPath() const { return channelPath_; }

  // The front end reports every change of the window model here: notice labels are pushed to
  // the clients that advised them, and Timer1 is started or stopped.
  void OnControlChanged(Control control);

  // Connections are closed beyond this many at once.
  static constexpr int kMaxClients = 512;

 private:
  struct Client {
    QByteArray buffer;      // bytes received and not yet taken as frames
    std::set<int> advised;  // the notice labels it asked to be told of
  };

  void Accept();
  void Read(QLocalSocket* socket);
  void ReadFrames(QLocalSocket* socket);
  // Handles one frame; false when it is malformed and the connection must go.
  bool Handle(QLocalSocket* socket, Client& client, char type, const QByteArray& payload);
  void Drop(QLocalSocket* socket);
  // Queues a frame; Read and PushChangedNotices send what they queued at once.
  void Send(QLocalSocket* socket, char type, const std::string& payload);
  void PushChangedNotices();
  void FollowTimer();

  Session& s_;
  Pace pace_;
  std::unique_ptr<QLocalServer> server_;
  QString channelPath_;
  std::map<QLocalSocket*, Client> clients_;
  std::map<int, std::string> lastNotices_;  // the captions last pushed, by slot
  QTimer timer1_;
  bool inTick_ = false;                          // Timer1_Timer is running
  std::chrono::steady_clock::time_point due_{};  // when the pending tick is due
};

}  // namespace ostravel
