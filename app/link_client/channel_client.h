// The client's end of the local channel to the gateway (frames of gateway/channel_protocol.h).
#pragma once

#include <chrono>
#include <string>

namespace ostravel::link {

using Clock = std::chrono::steady_clock;

class ChannelClient {
 public:
  ChannelClient() = default;
  ~ChannelClient();
  ChannelClient(const ChannelClient&) = delete;
  ChannelClient& operator=(const ChannelClient&) = delete;

  // False when nothing listens at path (Ostravel is not running). A gateway whose backlog of
  // connections is full is tried again until deadline.
  bool Connect(const std::string& path, Clock::time_point deadline);
  bool Send(char type, const std::string& payload);
  // Frames made with channel::Frame, sent together.
  bool SendFrames(const std::string& frames);

  enum class Received { Frame, Timeout, Closed };
  // The next frame from the gateway, waiting until deadline at most.
  Received Receive(char& type, std::string& payload, Clock::time_point deadline);

 private:
  bool Fill(std::size_t count, Clock::time_point deadline, Received& failure);

  int fd_ = -1;
  std::string buffer_;
};

}  // namespace ostravel::link
