// The Windows builds hand every label to the platform's 8-bit functions, so
// the bytes themselves must be code page 936 (checked against iconv's table).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "listing/row_texts.h"

namespace {

TEST(CodePage936Texts, StateLabelsAreCodePage936Bytes) {
  struct Case {
    std::int32_t state;
    const char* bytes;
  };
  const Case cases[] = {
      {1, "\xD2\xD1\xB9\xD8\xB1\xD5"},          // 已关闭
      {2, "\xD5\xFD\xD4\xDA\xBC\xE0\xCC\xFD"},  // 正在监听
      {5, "\xD2\xD1\xBD\xA8\xC1\xA2"},          // 已建立
      {6, "FIN_WAIT1"},
      {11, "\xD1\xD3\xCA\xB1\xB5\xC8\xB4\xFD"},  // 延时等待
      {12, "\xC9\xBE\xB3\xFD"},                  // 删除
      {0, "\xCE\xB4\xD6\xAA"},                   // 未知
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    EXPECT_EQ(TcpStateLabel(c.state), std::string(c.bytes));
  }
}

}  // namespace
