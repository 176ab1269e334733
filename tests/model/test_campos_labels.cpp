#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "model/campos.h"
#include "model/labels.h"

namespace orvenda {
namespace {

TEST(Campos, KeyedByExactNameAbsentOrRepeatedNamesRaise) {
  Campos campos;
  campos.Add("NOMBRE", 202);
  campos.Add("POBLACION", 3);
  EXPECT_EQ(campos.Item("POBLACION").Tipo, 3);
  EXPECT_THROW(campos.Item("nombre"), std::out_of_range);
  EXPECT_THROW(campos.Item(3), std::out_of_range);
  EXPECT_THROW(campos.Add("NOMBRE", 3), DuplicateKeyError);
  EXPECT_THROW(campos.Remove("AREA"), std::out_of_range);
  campos.Remove("NOMBRE");
  EXPECT_EQ(campos.Item(1).Nombre, "POBLACION");
  EXPECT_EQ(campos.count(), 1);
}

// Keys are count + 1 at the moment of adding; FindWord answers the first position of
// the exact text, and positions shift when an entry goes.
TEST(Labels, KeysPositionsAndWords) {
  Labels labels;
  for (const char* word : {"Centro", "Norte", "Centro", "Plaza"}) labels.Add(word);
  EXPECT_EQ(labels.Item("2").word, "Norte");
  EXPECT_EQ(labels.FindWord("Centro"), 1);
  EXPECT_EQ(labels.FindWord("centro"), 0);
  EXPECT_EQ(labels.FindWord(""), 0);
  labels.Remove("1");  // the first Centro: the second is found now, at position 2
  EXPECT_EQ(labels.FindWord("Centro"), 2);
  EXPECT_EQ(labels.Item(3).word, "Plaza");
  EXPECT_THROW(labels.Item("1"), std::out_of_range);
  EXPECT_THROW(labels.Add("Paseo"), DuplicateKeyError) << "count + 1 = \"4\" is still taken";
  labels.Remove(1);
  EXPECT_EQ(labels.FindWord("Norte"), 0);
  EXPECT_EQ(labels.FindWord("Plaza"), 2);
  labels.Clear();
  EXPECT_EQ(labels.FindWord("Plaza"), 0);
  labels.Add("Ronda");
  EXPECT_EQ(labels.Item("1").word, "Ronda");
}

}  // namespace
}  // namespace orvenda
