#include "core/updates/UpdateCatalogue.h"

#include <gtest/gtest.h>

#include "support/Rows.h"

namespace velvane {
namespace {

TEST(UpdateCatalogue, ReadsTheFixedPositionsAndCarriesTheTypeOfTheLineBefore) {
  const std::vector<CatalogueEntry> entries = ParseCatalogue(
      "UK   CHTuk_251209.cht000120\r\n"
      "US   XYZus_010110.hit000007\r\n"
      "\r\n"
      "DE   HITde_0201\n");
  Strings rows;
  for (const CatalogueEntry& entry : entries) {
    rows.push_back(entry.strListLine + "|" + entry.strFile + "|" + std::to_string(entry.nSize));
  }
  EXPECT_EQ(rows, (Strings{"  UK   \tChart Database\t25/12/09\tuk_251209.cht|uk_251209.cht|120",
                           // An unknown type code shows the type of the line before it.
                           "  US   \tChart Database\t01/01/10\tus_010110.hit|us_010110.hit|7",
                           // A short line gives shortened fields and a count of 0.
                           "  DE   \tNumber One Database\t02/01/\tde_0201|de_0201|0"}));
  EXPECT_TRUE(IsChartUpdate("uk_251209.cht"));
  EXPECT_FALSE(IsChartUpdate("ht"));  // shorter than the ending
}

TEST(UpdateCatalogue, TheSortedListMapsEachPositionBackToItsCatalogueLine) {
  std::string strBody;
  for (int i = 0; i < 150; ++i) {  // more than the old fixed 100 lines
    const std::string strDay = std::to_string(10 + i % 18);
    strBody += (i % 2 ? "US   HIT" : "UK   CHT") + std::string("ab_") + strDay + "0109.cht" +
               std::to_string(100000 + i) + "\r\n";
  }
  const UpdateList list(ParseCatalogue(strBody));
  ASSERT_EQ(list.Count(), 150);
  for (int nPos = 0; nPos < list.Count(); ++nPos) {
    EXPECT_EQ(list.At(nPos)->strListLine, list.Line(nPos));
    if (nPos > 0) {
      EXPECT_LE(list.Line(nPos - 1), list.Line(nPos));
    }
  }
  EXPECT_EQ(list.Line(0), "  UK   \tChart Database\t10/01/09\tab_100109.cht");
  EXPECT_EQ(list.At(0)->nSize, 100000);  // equal lines keep their catalogue order
  EXPECT_EQ(list.At(-1), nullptr);
  EXPECT_EQ(list.At(150), nullptr);
  EXPECT_EQ(list.Find("ab_110109.cht")->nSize, 100001);
}

TEST(UpdateCatalogue, TheServerSettingTakesAHostAPortOrABaseAddress) {
  EXPECT_EQ(UpdateUrl("charts.example", "avail.cht"), "http://charts.example/avail.cht");
  EXPECT_EQ(UpdateUrl(" 127.0.0.1:8080 ", "avail.cht"), "http://127.0.0.1:8080/avail.cht");
  EXPECT_EQ(UpdateUrl("https://host/updates", "a.cht"), "https://host/updates/a.cht");
  EXPECT_EQ(UpdateUrl("HTTP://host/", "a.cht"), "HTTP://host/a.cht");
  EXPECT_EQ(UpdateUrl("", "a.cht"), "");
}

}  // namespace
}  // namespace velvane
