#include "link_client/channel_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "gateway/channel_protocol.h"

namespace ostravel::link {

ChannelClient::~ChannelClient() {
  if (fd_ >= 0) ::close(fd_);
}

bool ChannelClient::Connect(const std::string& path, Clock::time_point deadline) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  while (true) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return true;
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    if (error != EAGAIN || Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool ChannelClient::Send(char type, const std::string& payload) {
  return SendFrames(channel::Frame(type, payload));
}

bool ChannelClient::SendFrames(const std::string& frame) {
  std::size_t sent = 0;
  while (sent < frame.size()) {
    ssize_t n = ::send(fd_, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool ChannelClient::Fill(std::size_t count, Clock::time_point deadline, Received& failure) {
  char chunk[8192];
  while (buffer_.size() < count) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      failure = Received::Timeout;
      return false;
    }
    pollfd wait{fd_, POLLIN, 0};
    int ready = ::poll(&wait, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
    if (ready < 0 && errno != EINTR) {
      failure = Received::Closed;
      return false;
    }
    if (ready <= 0) continue;
    ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failure = Received::Closed;
      return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
  return true;
}

ChannelClient::Received ChannelClient::Receive(char& type, std::string& payload,
                                               Clock::time_point deadline) {
  Received failure = Received::Closed;
  if (!Fill(channel::kHeaderSize, deadline, failure)) return failure;
  const std::uint32_t length =
      channel::FrameLength(reinterpret_cast<const unsigned char*>(buffer_.data()));
  if (length == 0 || length > channel::kMaxFrameLength) return Received::Closed;
  if (!Fill(channel::kHeaderSize + length, deadline, failure)) return failure;
  type = buffer_[channel::kHeaderSize];
  payload = buffer_.substr(channel::kHeaderSize + 1, length - 1);
  buffer_.erase(0, channel::kHeaderSize + length);
  return Received::Frame;
}

}  // namespace ostravel::link
