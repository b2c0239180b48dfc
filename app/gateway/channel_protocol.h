// The framing of the local channel between the gateway and its clients (docs/gateway.md).
// Plain C++ so that the CGI client can share it without Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ostravel::channel {

// A frame: the length L of the rest as 4 bytes, most significant first, then one byte of
// message type and L - 1 bytes of payload.
inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::uint32_t kMaxFrameLength = 1024 * 1024;

// Client to gateway.
inline constexpr char kExecute = 'E';   // payload: the command text
inline constexpr char kRequest = 'R';   // payload: a slot number; answered with kValue
inline constexpr char kAdvise = 'A';    // payload: a slot number; its notices are pushed
inline constexpr char kUnadvise = 'U';  // payload: a slot number
// payload: a slot number, LF, the ID of a command; answered with kWithdrawn
inline constexpr char kWithdraw = 'W';
// Gateway to client.
inline constexpr char kAck = 'K';     // an execute or an advise was accepted; no payload
inline constexpr char kValue = 'V';   // payload: slot, LF, the caption of lnkWWW(slot)
inline constexpr char kNotice = 'N';  // payload: slot, LF, the new caption of lnkWWW(slot)
// payload: slot, LF, "1" when the command was taken off the queue unanswered, "0" when it was
// not waiting there (it is being answered or was answered: its notice follows or came)
inline constexpr char kWithdrawn = 'D';

// The largest slot number (the notice labels are numbered by a 16-bit integer).
inline constexpr int kMaxSlot = 32767;

inline std::string Frame(char type, std::string_view payload) {
  const std::uint32_t length = static_cast<std::uint32_t>(payload.size() + 1);
  std::string frame;
  frame.reserve(kHeaderSize + length);
  for (int shift = 24; shift >= 0; shift -= 8)
    frame += static_cast<char>((length >> shift) & 0xff);
  frame += type;
  frame.append(payload);
  return frame;
}

inline std::uint32_t FrameLength(const unsigned char* header) {
  return (std::uint32_t{header[0]} << 24) | (std::uint32_t{header[1]} << 16) |
         (std::uint32_t{header[2]} << 8) | std::uint32_t{header[3]};
}

// A slot number written as plain decimal digits, 0..kMaxSlot; -1 for anything else.
inline int ParseSlot(std::string_view text) {
  if (text.empty() || text.size() > 5) return -1;
  int slot = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    slot = slot * 10 + (c - '0');
  }
  return slot <= kMaxSlot ? slot : -1;
}

}  // namespace ostravel::channel
