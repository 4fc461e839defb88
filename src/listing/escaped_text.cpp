#include "listing/escaped_text.h"

#include <cstdint>

namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at `at`; on an invalid or overlong sequence
// returns kInvalid and a length of 1 so the byte can be escaped on its own.
char32_t DecodeUtf8(std::string_view text, std::size_t at, std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at);
  length = 1;
  if (lead < 0x80) return lead;
  std::size_t need = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    need = 1;
    value = lead & 0x1Fu;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    need = 2;
    value = lead & 0x0Fu;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    need = 3;
    value = lead & 0x07u;
    minimum = 0x10000;
  } else {
    return kInvalid;
  }
  if (at + need >= text.size()) return kInvalid;  // sequence cut off by the end
  for (std::size_t i = 1; i <= need; ++i) {
    const std::uint8_t next = byte(at + i);
    if ((next & 0xC0) != 0x80) return kInvalid;
    value = (value << 6) | (next & 0x3Fu);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kInvalid;
  length = need + 1;
  return value;
}

bool NeedsEscape(char32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

void AppendHex(std::string& out, std::uint32_t value, int digits) {
  static const char kHex[] = "0123456789abcdef";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out.push_back(kHex[(value >> shift) & 0xF]);
}

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
         (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
         (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

bool IsCombining(char32_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
         (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
         (c >= 0xFE20 && c <= 0xFE2F) || c == 0x200B || c == 0x200C || c == 0x200D;
}

enum class Backslashes { kEscape, kKeep };

// Printable ASCII, but for an escaped backslash: copied as it is, the common case.
bool IsPlainAscii(char c, Backslashes backslashes) {
  return c >= 0x20 && c < 0x7F && (c != '\\' || backslashes == Backslashes::kKeep);
}

void AppendEscaped(std::string_view utf8, std::string& out, Backslashes backslashes) {
  std::size_t at = 0;
  while (at < utf8.size()) {
    std::size_t plain = at;
    while (plain < utf8.size() && IsPlainAscii(utf8[plain], backslashes)) ++plain;
    out.append(utf8.data() + at, plain - at);
    at = plain;
    if (at == utf8.size()) break;
    std::size_t length = 1;
    const char32_t c = DecodeUtf8(utf8, at, length);
    if (c == kInvalid) {
      out += "\\x";
      AppendHex(out, static_cast<std::uint8_t>(utf8[at]), 2);
    } else if (c == '\\' && backslashes == Backslashes::kEscape) {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x80 && NeedsEscape(c)) {
      out += "\\x";
      AppendHex(out, static_cast<std::uint32_t>(c), 2);
    } else if (NeedsEscape(c)) {
      out += "\\u";
      AppendHex(out, static_cast<std::uint32_t>(c), 4);
    } else {
      out.append(utf8.substr(at, length));
    }
    at += length;
  }
}

}  // namespace

std::string EscapeForTerminal(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  AppendEscaped(utf8, out, Backslashes::kEscape);
  return out;
}

void AppendEscapedForTerminal(std::string_view utf8, std::string& out) {
  AppendEscaped(utf8, out, Backslashes::kEscape);
}

std::string EscapeForDisplay(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  AppendEscaped(utf8, out, Backslashes::kKeep);
  return out;
}

std::size_t DisplayWidth(std::string_view utf8) {
  std::size_t width = 0;
  std::size_t at = 0;
  while (at < utf8.size()) {
    std::size_t length = 1;
    const char32_t c = DecodeUtf8(utf8, at, length);
    if (c == kInvalid || !IsCombining(c)) width += (c != kInvalid && IsWide(c)) ? 2u : 1u;
    at += length;
  }
  return width;
}
