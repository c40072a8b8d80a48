#include "asm/listing.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

TEST(Listing, PutsEachLineBesideItsAddressAndWord) {
  const std::string source = "# сумма\n        ORG 10\nstart:  CLA ; А := 0\n        BR start\r\nx EQU 5\n";
  const ProgramAssembly p = AssembleProgram(source);
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(ListingText(ProgramListingRows(p, source), 3),
            "           # сумма\n"
            "                   ORG 10\n"
            "010  F200  start:  CLA ; А := 0\n"
            "011  C010          BR start\n"
            "           x EQU 5\n");
  const std::string micro = "01 | a | БР := СК\n\n03 | | GOTO a | к началу\n";
  const MicroAssembly m = AssembleMicroProgram(micro);
  ASSERT_TRUE(m.ok());
  const std::vector<ListingRow> rows = MicroListingRows(m, micro);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].address, 3);
  EXPECT_EQ(rows[2].word, 0x8301);
  EXPECT_EQ(rows[2].line, 3);
  EXPECT_EQ(ListingText(rows, 2), "01  0300  01 | a | БР := СК\n          \n03  8301  03 | | GOTO a | к началу\n");
}

}  // namespace
}  // namespace vesk
