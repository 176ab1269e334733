#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "model/campos.h"
#include "model/labels.h"

namespace orvenda {
namespace {

std::vector<std::string> Words(const Labels& labels) {
  std::vector<std::string> out;
  for (const Dictionary& d : labels) {
    out.push_back(d.word);
  }
  return out;
}

TEST(Campos, KeyedByNameAbsentOrRepeatedNamesRaise) {
  Campos campos;
  campos.Add("NOMBRE", 202);
  campos.Add("POBLACION", 3);
  EXPECT_EQ(campos.Item("POBLACION").Tipo, 3);
  EXPECT_EQ(campos.Item(1).Nombre, "NOMBRE");
  EXPECT_THROW(campos.Item("nombre"), std::out_of_range);  // keys are exact text
  EXPECT_THROW(campos.Item(3), std::out_of_range);
  EXPECT_THROW(campos.Item(0), std::out_of_range);
  EXPECT_THROW(campos.Add("NOMBRE", 3), DuplicateKeyError);
  EXPECT_EQ(campos.count(), 2);
  EXPECT_THROW(campos.Remove("AREA"), std::out_of_range);
  campos.Remove("NOMBRE");
  EXPECT_EQ(campos.Item(1).Nombre, "POBLACION");
  EXPECT_EQ(campos.count(), 1);
}

TEST(Labels, KeysAreCountPlusOneAtTheMomentOfAdding) {
  Labels labels;
  labels.Add("Avenida");
  labels.Add("Calle");
  labels.Add("Plaza");
  EXPECT_EQ(labels.Item("2").word, "Calle");
  EXPECT_EQ(labels.Item(3).word, "Plaza");
  EXPECT_THROW(labels.Item("4"), std::out_of_range);

  // Removing a middle key keeps the later keys; the next Add takes key
  // count + 1 = "3", which is still taken, and fails.
  labels.Remove("2");
  EXPECT_EQ(labels.Item("3").word, "Plaza");
  EXPECT_EQ(labels.Item(2).word, "Plaza");
  EXPECT_THROW(labels.Item("2"), std::out_of_range);
  EXPECT_THROW(labels.Add("Paseo"), DuplicateKeyError);
  EXPECT_EQ(Words(labels), (std::vector<std::string>{"Avenida", "Plaza"}));

  labels.Clear();
  EXPECT_EQ(labels.count(), 0);
  labels.Add("Ronda");
  EXPECT_EQ(labels.Item("1").word, "Ronda");
}

TEST(Labels, FindWordAnswersTheFirstPositionOfExactText) {
  Labels labels;
  labels.Add("Centro");
  labels.Add("Norte");
  labels.Add("Centro");
  EXPECT_EQ(labels.FindWord("Centro"), 1);
  EXPECT_EQ(labels.FindWord("Norte"), 2);
  EXPECT_EQ(labels.FindWord("centro"), 0);
  EXPECT_EQ(labels.FindWord(""), 0);
  labels.Remove(1);  // positions shift: Norte 1, Centro 2
  EXPECT_EQ(labels.FindWord("Centro"), 2);
  EXPECT_EQ(labels.FindWord("Norte"), 1);
  labels.Clear();
  EXPECT_EQ(labels.FindWord("Norte"), 0);
}

}  // namespace
}  // namespace orvenda
