// Bytes given by script over the control pipe travel as base64 (frames, capture
// images); what the simulation shows of bytes it keeps travels back the same way.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace parlo_sim {

inline const std::string& base64_alphabet() {
  static const std::string chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  return chars;
}

// Padding and white space are skipped; any other character outside the alphabet
// throws, so that a script's mistake is seen where it is made.
inline std::vector<uint8_t> decode_base64(const std::string& text) {
  std::vector<uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  uint32_t acc = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=' || c == '\n' || c == '\r' || c == ' ') continue;
    auto at = base64_alphabet().find(c);
    if (at == std::string::npos) throw std::invalid_argument("bytes are not base64");
    acc = (acc << 6) | static_cast<uint32_t>(at);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(acc >> bits));
    }
  }
  return out;
}

inline std::string encode_base64(const std::vector<uint8_t>& bytes) {
  const std::string& chars = base64_alphabet();
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t n = static_cast<uint32_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<uint32_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= bytes[i + 2];
    out += chars[(n >> 18) & 63];
    out += chars[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? chars[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? chars[n & 63] : '=';
  }
  return out;
}

}  // namespace parlo_sim
