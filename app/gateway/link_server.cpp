#include "gateway/link_server.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <algorithm>
#include <csignal>
#include <cstdlib>

#include "gateway/channel_protocol.h"
#include "gateway/gateway_requests.h"
#include "session/session.h"

namespace ostravel {
namespace {

QString EnvironmentText(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? QString() : QString::fromLocal8Bit(value);
}

// True when a program answers at path: then it belongs to another running gateway.
bool SomeoneListens(const QString& path) {
  QLocalSocket probe;
  probe.connectToServer(path);
  const bool connected = probe.waitForConnected(200);
  probe.abort();
  return connected;
}

}  // namespace

LinkServer::LinkServer(Session& s, Pace pace, QObject* parent)
    : QObject(parent), s_(s), pace_(pace) {
  timer1_.setTimerType(Qt::PreciseTimer);
  timer1_.setSingleShot(true);  // every tick arms the next one through the model
  connect(&timer1_, &QTimer::timeout, this, [this] {
    inTick_ = true;
    Timer1_Timer(s_);
    inTick_ = false;
  });
}

LinkServer::~LinkServer() {
  Stop();
}

bool LinkServer::Start(QString* error) {
  // A client that hangs up before its answer must not end the gateway.
  std::signal(SIGPIPE, SIG_IGN);
  const std::string folder = RegisterFolderPath(
      s_.db.ProgramFolder, EnvironmentText("OSTRAVEL_REGISTER").toLocal8Bit().toStdString());
  if (!OpenRegisterFolder(s_, folder)) {
    if (error)
      *error = QString("Cannot create the register folder %1")
                   .arg(QString::fromLocal8Bit(folder.c_str()));
    return false;
  }
  channelPath_ = EnvironmentText("OSTRAVEL_CHANNEL");
  if (channelPath_.isEmpty()) channelPath_ = QString::fromLocal8Bit(folder.c_str()) + "/calc.sock";

  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  server_->setMaxPendingConnections(kMaxClients);  // also the backlog of listen()
  if (!server_->listen(channelPath_)) {
    if (QFile::exists(channelPath_) && !SomeoneListens(channelPath_)) {
      // The channel of a gateway that ended without removing it.
      QLocalServer::removeServer(channelPath_);
      server_->listen(channelPath_);
    }
  }
  if (!server_->isListening()) {
    if (error) {
      *error =
          SomeoneListens(channelPath_)
              ? QString("Another Ostravel gateway is already listening at %1").arg(channelPath_)
              : QString("Cannot listen at %1: %2").arg(channelPath_, server_->errorString());
    }
    server_.reset();
    return false;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, [this] { Accept(); });
  FollowTimer();
  return true;
}

void LinkServer::Stop() {
  timer1_.stop();
  for (auto& [socket, client] : clients_) {
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
  }
  clients_.clear();
  if (server_) {
    server_->close();  // removes the socket file
    server_.reset();
  }
}

void LinkServer::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    if (static_cast<int>(clients_.size()) >= kMaxClients) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    clients_.emplace(socket, Client{});
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { Drop(socket); });
    // Data may have arrived before the signals were connected.
    if (socket->bytesAvailable() > 0) Read(socket);
  }
}

void LinkServer::Read(QLocalSocket* socket) {
  ReadFrames(socket);
  // The answers to all the frames read go out in one write, at once.
  if (clients_.contains(socket)) socket->flush();
}

void LinkServer::ReadFrames(QLocalSocket* socket) {
  auto it = clients_.find(socket);
  if (it == clients_.end()) return;
  Client& client = it->second;
  while (true) {
    // Never hold more than one frame's worth of unread bytes.
    const qint64 room = channel::kHeaderSize + channel::kMaxFrameLength - client.buffer.size();
    if (room > 0 && socket->bytesAvailable() > 0) client.buffer.append(socket->read(room));
    if (client.buffer.size() < static_cast<qsizetype>(channel::kHeaderSize)) return;
    const std::uint32_t length =
        channel::FrameLength(reinterpret_cast<const unsigned char*>(client.buffer.constData()));
    if (length == 0 || length > channel::kMaxFrameLength) {
      Drop(socket);
      return;
    }
    if (client.buffer.size() < static_cast<qsizetype>(channel::kHeaderSize + length)) {
      if (socket->bytesAvailable() > 0) continue;
      return;
    }
    const char type = client.buffer[channel::kHeaderSize];
    const QByteArray payload = client.buffer.mid(channel::kHeaderSize + 1, length - 1);
    client.buffer.remove(0, channel::kHeaderSize + length);
    if (!Handle(socket, client, type, payload)) {
      Drop(socket);
      return;
    }
    // Handling may have yielded to events that dropped this connection.
    if (clients_.find(socket) == clients_.end()) return;
  }
}

bool LinkServer::Handle(QLocalSocket* socket, Client& client, char type,
                        const QByteArray& payload) {
  const std::string text(payload.constData(), static_cast<std::size_t>(payload.size()));
  switch (type) {
    case channel::kExecute:
      Send(socket, channel::kAck, {});
      Form_LinkExecute(s_, text);
      return true;
    case channel::kRequest: {
      const int slot = channel::ParseSlot(text);
      if (slot < 0) return false;
      const auto& labels = s_.window.lnkWWW;
      const std::string caption =
          slot < static_cast<int>(labels.size()) ? labels[static_cast<std::size_t>(slot)] : "";
      Send(socket, channel::kValue, std::to_string(slot) + "\n" + caption);
      return true;
    }
    case channel::kWithdraw: {
      const std::size_t lf = text.find('\n');
      const int slot = lf == std::string::npos ? -1 : channel::ParseSlot(text.substr(0, lf));
      if (slot < 0) return false;
      const bool withdrawn = Form_LinkWithdraw(s_, slot, text.substr(lf + 1));
      Send(socket, channel::kWithdrawn, std::to_string(slot) + (withdrawn ? "\n1" : "\n0"));
      return true;
    }
    case channel::kAdvise:
    case channel::kUnadvise: {
      const int slot = channel::ParseSlot(text);
      if (slot < 0) return false;
      if (type == channel::kAdvise) {
        client.advised.insert(slot);
        // From now on: the notice the slot has now is no new one.
        const auto& labels = s_.window.lnkWWW;
        lastNotices_[slot] = slot < static_cast<int>(labels.size())
                                 ? labels[static_cast<std::size_t>(slot)]
                                 : std::string();
      } else {
        client.advised.erase(slot);
      }
      Send(socket, channel::kAck, {});
      return true;
    }
    default:
      return false;
  }
}

void LinkServer::Drop(QLocalSocket* socket) {
  auto it = clients_.find(socket);
  if (it == clients_.end()) return;
  clients_.erase(it);
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
}

void LinkServer::Send(QLocalSocket* socket, char type, const std::string& payload) {
  const std::string frame = channel::Frame(type, payload);
  socket->write(frame.data(), static_cast<qint64>(frame.size()));
}

void LinkServer::OnControlChanged(Control control) {
  if (control == Control::LinkLabels) PushChangedNotices();
  if (control == Control::Timer) FollowTimer();
}

void LinkServer::PushChangedNotices() {
  // Only the notices that some client asked for are compared: a client may create every label
  // up to 32767, and a notice is pushed after every command.
  const auto& labels = s_.window.lnkWWW;
  std::map<int, std::vector<QLocalSocket*>> advised;
  for (auto& [socket, client] : clients_)
    for (const int slot : client.advised)
      if (slot < static_cast<int>(labels.size())) advised[slot].push_back(socket);
  for (const auto& [slot, sockets] : advised) {
    std::string& last = lastNotices_[slot];
    if (labels[static_cast<std::size_t>(slot)] == last) continue;
    last = labels[static_cast<std::size_t>(slot)];
    const std::string payload = std::to_string(slot) + "\n" + last;
    for (QLocalSocket* socket : sockets) {
      Send(socket, channel::kNotice, payload);
      socket->flush();
    }
  }
}

void LinkServer::FollowTimer() {
  if (!s_.window.Timer1Enabled) {
    timer1_.stop();
    return;
  }
  if (pace_ == Pace::BackToBack) {
    timer1_.start(0);  // as soon as the events that wait have been handled
    return;
  }
  using namespace std::chrono;
  const auto now = steady_clock::now();
  const milliseconds interval(std::max(1, s_.window.Timer1Interval));
  // Ticks that follow one another keep a steady 10 ms rhythm: a tick that the system woke
  // late, on a busy machine, does not push back every tick after it.
  due_ = inTick_ ? std::max(due_ + interval, now) : now + interval;
  timer1_.start(static_cast<int>(ceil<milliseconds>(due_ - now).count()));
}

}  // namespace ostravel
