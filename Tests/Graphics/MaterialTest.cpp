// Materials without a GL context: what their keywords do to the material itself.
#include "Graphics/Material.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/AssertRecorder.h"

TEST(Material, RegionWordsSetTheRegionMaskAndGiveNoProperty) {
  struct Case {
    const char* word;
    int mask;
  };
  const Case cases[] = {
      {"REGION_NEIGHBORHOOD", 1}, {"REGION_TOWN", 2}, {"REGION_LOCAL", 4}, {"REGION_Local", 7}, {"", 7}};
  for (const Case& c : cases) {
    Gfx::Material material;
    material.SetRegionMask(0);
    EXPECT_EQ(material.createPropertyFrom("REGION", c.word), nullptr);
    EXPECT_EQ(material.RegionMask(), c.mask) << c.word;
  }
  EXPECT_EQ(Gfx::Material().RegionMask(), 7);
}

TEST(Material, AnUnknownKeywordIsAnAssertionAndGivesNoProperty) {
  Testing::AssertRecorder asserts;
  Gfx::Material material;
  material.Build({"SHINY", "REGION"}, {"1", "REGION_TOWN"});
  EXPECT_EQ(material.PropertyCount(), 0);
  EXPECT_EQ(material.RegionMask(), 2);
  EXPECT_EQ(asserts.Comments(), std::vector<std::string>{"Material::createPropertyFrom: Invalid property type\n"});
}
