#include "foundation/ListHelpers.h"

#include <gtest/gtest.h>

TEST(ListHelpers, PredicateFilter)
{
    const QStringList names{"Vantreo_2026.crash", "väntreo.log", "Other.crash", "xVantreo"};
    EXPECT_EQ(filteredUsingPredicateString(names, "self BEGINSWITH[cd] %@", "Vantreo"),
              QStringList({"Vantreo_2026.crash", "väntreo.log"}));
    EXPECT_EQ(filteredUsingPredicateString(names, "SELF BEGINSWITH %@", "Vantreo"),
              QStringList({"Vantreo_2026.crash"}));
    EXPECT_EQ(filteredUsingPredicateString(names, "self ENDSWITH %@", ".crash"),
              QStringList({"Vantreo_2026.crash", "Other.crash"}));
    EXPECT_EQ(filteredUsingPredicateString(names, "self CONTAINS[c] %@", "VANTREO"),
              QStringList({"Vantreo_2026.crash", "xVantreo"}));
    EXPECT_EQ(filteredUsingPredicateString(names, "self LIKE %@", "*.cr?sh"),
              QStringList({"Vantreo_2026.crash", "Other.crash"}));
    EXPECT_EQ(filteredUsingPredicateString(names, "self == %@", "xVantreo"),
              QStringList({"xVantreo"}));
    EXPECT_FALSE(filteredUsingPredicateString(names, "name MATCHES %@", "x").has_value());
}

TEST(ListHelpers, Lookups)
{
    EXPECT_EQ(safeStringAtIndex({"a", "b"}, 1), QStringLiteral("b"));
    EXPECT_TRUE(safeStringAtIndex({"a", "b"}, 2).isEmpty());
    EXPECT_TRUE(safeStringAtIndex({"a"}, -1).isEmpty());
    EXPECT_FALSE(safeObjectAtIndex(QStringList{"a"}, 1).has_value());
    EXPECT_EQ(joined(QVariantList{1, "x", 2.5}, " "), QStringLiteral("1 x 2.5"));
}

TEST(ListHelpers, DictionaryLists)
{
    const QList<QVariantMap> list{
        {{"name", "b"}, {"n", 2}}, {{"name", "a"}}, {{"name", "c"}, {"n", 1}}};
    EXPECT_EQ(arrayOfValuesForKey(list, "n"), QVariantList({2, QVariant(), 1}));
    EXPECT_TRUE(containsDictionaryWithKey(list, "name", "a"));
    EXPECT_FALSE(containsDictionaryWithKey(list, "name", "z"));
    auto names = [](const QList<QVariantMap>& l) {
        QStringList out;
        for (const auto& m : l)
            out << m.value("name").toString();
        return out;
    };
    EXPECT_EQ(names(sortedArrayByKey(list, "name")), QStringList({"a", "b", "c"}));
    EXPECT_EQ(names(sortedArrayByKey(list, "name", false)), QStringList({"c", "b", "a"}));
    // A missing value sorts first.
    EXPECT_EQ(names(sortedArrayByKey(list, "n")), QStringList({"a", "c", "b"}));

    const QVariantMap map{{"k", 1}, {"j", 2}};
    EXPECT_EQ(dictionaryByAddingValue(map, 5, "k").value("k"), QVariant(5));
    EXPECT_FALSE(dictionaryByAddingValue(map, QVariant(), "k").contains("k"));
    EXPECT_EQ(dictionaryByAddingValue(map, QVariant(), "k").size(), 1);
}

TEST(ListHelpers, Templates)
{
    const QList<int> list{1, 2, 3, 2};
    EXPECT_EQ(collect(list, [](int v) { return v * 10; }), 80);
    EXPECT_EQ(arrayByRemovingObjectsAtIndexes(list, {0, 3}), QList<int>({2, 3}));
    EXPECT_EQ(arrayByAddingNewObject(list, 2), list);
    EXPECT_EQ(arrayByReplacingObject(list, 2, 9), QList<int>({1, 9, 3, 2}));
    EXPECT_EQ(mapped(list, [](int v) { return v == 2 ? std::nullopt : std::optional<int>(v); }),
              QList<int>({1, 3}));
}
