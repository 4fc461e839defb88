#include <gtest/gtest.h>

#include <string>

#include "listing/escaped_text.h"

namespace {

TEST(EscapeForTerminal, NothingInACellCanDriveTheTerminal) {
  struct Case {
    const char* name;
    std::string in, out;
  };
  const Case cases[] = {
      {"plain path", "/usr/bin/ssh", "/usr/bin/ssh"},
      {"spaces stay", "/opt/my app/run", "/opt/my app/run"},
      {"Chinese stays", "/home/用户/程序", "/home/用户/程序"},
      {"newline", "/tmp/a\nb", "/tmp/a\\nb"},
      {"tab and carriage return", "a\tb\rc", "a\\tb\\rc"},
      {"escape sequence", "/tmp/\x1b[31mred", "/tmp/\\x1b[31mred"},
      {"bell and delete", "\a\x7f", "\\x07\\x7f"},
      {"backslash doubles so escapes stay unambiguous", "C:\\x41", "C:\\\\x41"},
      {"C1 control (CSI)",
       "a\xc2\x9b"
       "31m",
       "a\\u009b31m"},
      {"bidi override", "evil\xe2\x80\xaegpj.exe", "evil\\u202egpj.exe"},
      {"invalid byte", "/tmp/\xff\xfe", "/tmp/\\xff\\xfe"},
      {"truncated sequence at the end", "abc\xe4\xb8", "abc\\xe4\\xb8"},
      {"overlong slash", "\xc0\xaf", "\\xc0\\xaf"},
      {"surrogate half", "\xed\xa0\x80", "\\xed\\xa0\\x80"},
      {"four-byte character stays", "\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
      {"NUL inside", std::string("a\0b", 3), "a\\x00b"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EscapeForTerminal(c.in), c.out);
  }
}

TEST(EscapeForDisplay, EscapesTheSameButKeepsBackslashes) {
  EXPECT_EQ(EscapeForDisplay("C:\\dir\\x41"), "C:\\dir\\x41");
  EXPECT_EQ(EscapeForDisplay("/tmp/new\nline"), "/tmp/new\\nline");
  EXPECT_EQ(EscapeForDisplay("evil\xe2\x80\xaegpj.exe"), "evil\\u202egpj.exe");
  EXPECT_EQ(EscapeForDisplay("/tmp/\x1b[31m\xff"), "/tmp/\\x1b[31m\\xff");
  EXPECT_EQ(EscapeForDisplay("/home/用户"), "/home/用户");
}

TEST(DisplayWidth, WideCharactersTakeTwoColumns) {
  EXPECT_EQ(DisplayWidth("127.0.0.1"), 9u);
  EXPECT_EQ(DisplayWidth("本地地址"), 8u);
  EXPECT_EQ(DisplayWidth("FIN_WAIT1"), 9u);
  EXPECT_EQ(DisplayWidth("e\xcc\x81"), 1u);  // e + combining acute
  EXPECT_EQ(DisplayWidth(""), 0u);
}

}  // namespace
