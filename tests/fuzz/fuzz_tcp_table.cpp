// Arbitrary bytes as a TCP table snapshot: decoding, the row texts, the
// lister's table and its escaping must take anything without reading past
// the buffer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/table_output.h"
#include "cli/text_connection_list.h"
#include "listing/escaped_text.h"
#include "listing/fill_connection_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exactly sized copy, so any read past the end is caught.
  TcpTableSnapshot snapshot{std::vector<std::uint8_t>(data, data + size)};
  const std::string text(reinterpret_cast<const char*>(data), size);
  ListingSource source{[&] { return snapshot; },
                       [&](std::int32_t pid) { return pid % 2 == 0 ? text : std::string(); }};
  TextConnectionList list;
  FillConnectionList(list, source);
  const TextRow titles{"a", "b", "c", "d", "e", "f", text};
  const std::string tabbed = FormatConnectionTable(titles, list.Rows(), TableLayout::TabSeparated);
  const std::string aligned = FormatConnectionTable(titles, list.Rows(), TableLayout::Aligned);
  // Escaped text never carries a raw control character or a line break.
  for (const char c : EscapeForTerminal(text)) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) __builtin_trap();
  }
  static volatile std::size_t sink = 0;
  sink = sink + tabbed.size() + aligned.size();
  return 0;
}
