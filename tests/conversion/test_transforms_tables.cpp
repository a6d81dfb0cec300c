// The byte tables under the transforms: how two steps are fused into one pass.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "conversion/byte_table.h"
#include "conversion/codepage_table.h"

namespace orvela {
namespace {

// A table that leaves every byte as it is; with pairs cut as cp936 cuts them, or with
// every byte a unit of its own.
std::unique_ptr<ByteTable> Identity(bool cp936Pairs) {
  auto table = std::make_unique<ByteTable>();
  if (cp936Pairs)
    std::copy(std::begin(Gbk2Big5Table().kind), std::end(Gbk2Big5Table().kind), table->kind);
  for (unsigned a = 0; a < 0x100; ++a)
    for (unsigned b = 0; b < 0x100; ++b)
      table->entry[TwoBytes(a, b)] = Consumed(*table, a, b) == 2 ? TwoByteOut(a, b) : OneByte(a);
  Finish(*table);
  return table;
}

TEST(ByteTables, FusingAStepThatCutsLikeTheNextGivesTheNext) {
  std::unique_ptr<ByteTable> fused = Compose(*Identity(true), Gbk2Big5Table());
  ASSERT_NE(fused, nullptr);
  for (std::size_t i = 0; i < 0x10000; ++i)
    ASSERT_EQ(fused->entry[i], Gbk2Big5Table().entry[i]) << i;
}

// A first step that writes lead bytes one at a time would let the next step read a
// lead byte and the following unit's byte as one pair: no single pass can do that.
TEST(ByteTables, FusingIsRefusedWhenTheNextStepWouldCutDifferently) {
  EXPECT_EQ(Compose(*Identity(false), Gbk2Big5Table()), nullptr);
}

TEST(ByteTables, UnitsAreCutAsTheSourceCodePageCutsThem) {
  const ByteTable& gbk = Gbk2Big5Table();
  EXPECT_EQ(Consumed(gbk, 0xB0, 0xA1), 2u);
  EXPECT_EQ(Consumed(gbk, 0xB0, 0x40), 2u);  // cp936 trail bytes reach down to 0x40
  EXPECT_EQ(Consumed(gbk, 0xB0, 0x0A), 1u);
  EXPECT_EQ(Consumed(gbk, 0x41, 0xA1), 1u);
  const ByteTable& big5 = Big52GbkTable();
  EXPECT_EQ(Consumed(big5, 0xA4, 0x40), 2u);
  EXPECT_EQ(Consumed(big5, 0xA4, 0x30), 1u);
  EXPECT_TRUE(gbk.asciiKept);
  EXPECT_TRUE(big5.asciiKept);
}

}  // namespace
}  // namespace orvela
