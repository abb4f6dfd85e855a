#include "binding/codec/encodable_value.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "tests/support/test_support.h"

namespace flutter {
namespace {

using quorlax_test::Equivalent;

TEST(EncodableValueTest, EachConstructorPicksItsAlternative) {
  const std::string text = "abc";
  const std::vector<uint8_t> bytes = {1};
  const struct {
    const char* name;
    EncodableValue value;
    std::size_t index;
  } rows[] = {
      {"default", EncodableValue(), EncodableValue::kNull},
      {"bool", EncodableValue(true), EncodableValue::kBool},
      {"int32_t", EncodableValue(int32_t{7}), EncodableValue::kInt32},
      {"int literal", EncodableValue(7), EncodableValue::kInt32},
      {"int64_t", EncodableValue(int64_t{7}), EncodableValue::kInt64},
      {"double", EncodableValue(1.5), EncodableValue::kDouble},
      {"string literal", EncodableValue("text"), EncodableValue::kString},
      {"string copy", EncodableValue(text), EncodableValue::kString},
      {"string move", EncodableValue(std::string("abc")), EncodableValue::kString},
      {"bytes copy", EncodableValue(bytes), EncodableValue::kUint8List},
      {"bytes move", EncodableValue(std::vector<uint8_t>{1}), EncodableValue::kUint8List},
      {"int32 list", EncodableValue(std::vector<int32_t>{1}), EncodableValue::kInt32List},
      {"int64 list", EncodableValue(std::vector<int64_t>{1}), EncodableValue::kInt64List},
      {"double list", EncodableValue(std::vector<double>{1}), EncodableValue::kDoubleList},
      {"list", EncodableValue(ValueList{EncodableValue(1)}), EncodableValue::kList},
      {"map", EncodableValue(ValueMap{{EncodableValue(1), EncodableValue()}}),
       EncodableValue::kMap},
      {"custom", EncodableValue(CustomValue(42)), EncodableValue::kCustom},
      {"float list", EncodableValue(std::vector<float>{1}), EncodableValue::kFloatList},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.value.Index(), row.index);
  }
  EXPECT_EQ(EncodableValue("text").Get<std::string>(), "text");
}

TEST(EncodableValueTest, TypedAccessToAnotherAlternativeThrowsBadVariantAccess) {
  EncodableValue value(int32_t{1});
  try {
    value.Get<int64_t>();
    FAIL() << "no exception";
  } catch (const std::bad_variant_access& error) {
    EXPECT_STREQ(error.what(), "bad variant access");
  }
  const EncodableValue& read_only = value;
  EXPECT_THROW(read_only.Get<std::string>(), std::bad_variant_access);
  EXPECT_EQ(value.Get<int32_t>(), 1);
  EXPECT_EQ(value.GetIf<double>(), nullptr);
}

TEST(EncodableValueTest, CopyIsDeep) {
  EncodableValue source(ValueMap{{EncodableValue("a"), EncodableValue(ValueList{1, 2})},
                                 {EncodableValue(1), EncodableValue("x")}});
  EncodableValue copy = source;
  ASSERT_TRUE(Equivalent(copy, source));
  copy.Get<ValueMap>()[EncodableValue("a")].Get<ValueList>().push_back(EncodableValue(3));
  copy.Get<ValueMap>()[EncodableValue("b")] = EncodableValue();
  EXPECT_EQ(source.Get<ValueMap>().size(), 2u);
  EXPECT_EQ(source.Get<ValueMap>().at(EncodableValue("a")).Get<ValueList>().size(), 2u);
  // Same entries, same order.
  auto it = source.Get<ValueMap>().begin();
  EXPECT_EQ(it->first.Index(), EncodableValue::kInt32);
  EXPECT_EQ((++it)->first.Get<std::string>(), "a");
}

TEST(EncodableValueTest, MoveEmptiesTheSourceButKeepsItsAlternative) {
  EncodableValue text(std::string(100, 'x'));
  EncodableValue moved_text = std::move(text);
  EXPECT_EQ(moved_text.Get<std::string>().size(), 100u);
  EXPECT_EQ(text.Index(), EncodableValue::kString);  // NOLINT(bugprone-use-after-move)
  EXPECT_TRUE(text.Get<std::string>().empty());

  EncodableValue list(ValueList{1, 2, 3});
  EncodableValue moved_list(std::move(list));
  EXPECT_EQ(list.Index(), EncodableValue::kList);  // NOLINT(bugprone-use-after-move)
  EXPECT_TRUE(list.Get<ValueList>().empty());
  EXPECT_EQ(moved_list.Get<ValueList>().size(), 3u);
}

TEST(EncodableValueTest, MovingACustomValueCopiesIt) {
  EncodableValue custom(CustomValue(std::string("object")));
  EncodableValue moved = std::move(custom);
  ASSERT_NE(custom.Get<CustomValue>().As<std::string>(), nullptr);  // NOLINT
  EXPECT_EQ(*custom.Get<CustomValue>().As<std::string>(), "object");
  EXPECT_EQ(*moved.Get<CustomValue>().As<std::string>(), "object");
}

// Each row orders strictly before the next, and never the other way round.
TEST(EncodableValueTest, ValueOrder) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* name;
    EncodableValue lower;
    EncodableValue higher;
  } rows[] = {
      {"null before false", EncodableValue(), EncodableValue(false)},
      {"false before true", EncodableValue(false), EncodableValue(true)},
      {"true before the lowest int32", EncodableValue(true),
       EncodableValue(std::numeric_limits<int32_t>::min())},
      {"int32 5 before int64 1", EncodableValue(5), EncodableValue(int64_t{1})},
      {"signed int32", EncodableValue(-1), EncodableValue(0)},
      {"signed int64", EncodableValue(int64_t{-1}), EncodableValue(int64_t{0})},
      {"double", EncodableValue(-0.5), EncodableValue(0.25)},
      {"\"ab\" before \"abc\"", EncodableValue("ab"), EncodableValue("abc")},
      {"\"abc\" before \"b\"", EncodableValue("abc"), EncodableValue("b")},
      {"string bytes unsigned", EncodableValue("a\x7f"), EncodableValue("a\x80")},
      {"byte list unsigned", EncodableValue(std::vector<uint8_t>{0x7F}),
       EncodableValue(std::vector<uint8_t>{0x80})},
      {"int32 list signed", EncodableValue(std::vector<int32_t>{-1}),
       EncodableValue(std::vector<int32_t>{0})},
      {"empty int32 list first", EncodableValue(std::vector<int32_t>{}),
       EncodableValue(std::vector<int32_t>{std::numeric_limits<int32_t>::min()})},
      {"empty int64 list first", EncodableValue(std::vector<int64_t>{}),
       EncodableValue(std::vector<int64_t>{-5})},
      {"double list prefix", EncodableValue(std::vector<double>{1.0}),
       EncodableValue(std::vector<double>{1.0, -3.0})},
      {"double list NaN goes on", EncodableValue(std::vector<double>{nan, 1.0}),
       EncodableValue(std::vector<double>{0.0, 2.0})},
      {"empty float list first", EncodableValue(std::vector<float>{}),
       EncodableValue(std::vector<float>{-1.0f})},
      {"value list elementwise", EncodableValue(ValueList{1, "b"}),
       EncodableValue(ValueList{1, "c"})},
      {"value list prefix", EncodableValue(ValueList{}),
       EncodableValue(ValueList{EncodableValue()})},
      {"map 1->\"a\" before 1->\"b\"", EncodableValue(ValueMap{{1, "a"}}),
       EncodableValue(ValueMap{{1, "b"}})},
      {"empty map before 0->null", EncodableValue(ValueMap{}),
       EncodableValue(ValueMap{{0, EncodableValue()}})},
      {"map keys decide first", EncodableValue(ValueMap{{1, "z"}}),
       EncodableValue(ValueMap{{2, "a"}})},
      {"positions: double before string", EncodableValue(1e300), EncodableValue("")},
      {"positions: map before custom", EncodableValue(ValueMap{}), EncodableValue(CustomValue(1))},
      {"positions: custom before float list", EncodableValue(CustomValue(1)),
       EncodableValue(std::vector<float>{})},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_TRUE(row.lower < row.higher);
    EXPECT_FALSE(row.higher < row.lower);
  }
}

TEST(EncodableValueTest, EquivalentValues) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(Equivalent(EncodableValue(), EncodableValue()));
  EXPECT_TRUE(Equivalent(EncodableValue(nan), EncodableValue(1.0)));
  EXPECT_TRUE(Equivalent(EncodableValue(std::vector<double>{nan}),
                         EncodableValue(std::vector<double>{2.0})));
  EXPECT_TRUE(Equivalent(EncodableValue(ValueMap{{"k", ValueList{1}}}),
                         EncodableValue(ValueMap{{"k", ValueList{1}}})));
}

TEST(EncodableValueTest, Int32AndInt64AreDistinctMapKeys) {
  ValueMap map;
  map[EncodableValue(1)] = EncodableValue("32");
  map[EncodableValue(int64_t{1})] = EncodableValue("64");
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map.begin()->second.Get<std::string>(), "32");
}

TEST(EncodableValueTest, CustomValueIsEquivalentOnlyToItself) {
  const EncodableValue custom(CustomValue(7));
  const EncodableValue copy = custom;
  EXPECT_TRUE(Equivalent(custom, custom));
  EXPECT_FALSE(Equivalent(custom, copy));
  ValueMap map;
  map[custom] = EncodableValue(1);
  map[copy] = EncodableValue(2);
  EXPECT_EQ(map.size(), 2u);
  EXPECT_EQ(*copy.Get<CustomValue>().As<int>(), 7);
}

}  // namespace
}  // namespace flutter
