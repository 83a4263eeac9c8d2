// Property tables: the flattened form, reading it back, and matching.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "LocaleSuiteProperties.h"
#include "Message.h"
#include "PropertyInfo.h"

namespace {

// The same table as flattened on the original platform.
const char* kEditorTableHex = "00030000000100000044656661756c7454657874006765742074686520646566"
                              "61756c7420746578747320666f72206c6f63616c697a6174696f6e0000000000"
                              "5445475000000000010000000000000044656661756c744c616e677561676500"
                              "676574207468652064656661756c74206c616e6775616765206e616d6520666f"
                              "72206c6f63616c697a6174696f6e000000000054454750000000000100000000"
                              "000000546578744170704944006765742074686520696420666f72206c6f6361"
                              "6c652066696c6573000000000054454750000000000100000000000000000000"
                              "000000000000000000000000000000000000000000";

std::vector<uint8> from_hex(const char* hex)
{
	std::vector<uint8> bytes;
	for (size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
		char pair[3] = {hex[i], hex[i + 1], 0};
		bytes.push_back((uint8)strtoul(pair, nullptr, 16));
	}
	return bytes;
}

property_info sRichTable[] = {
    {"Suites",
     {B_GET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     nullptr,
     0,
     {},
     {{{{"suites", B_STRING_TYPE}, {"messages", B_PROPERTY_INFO_TYPE}}}, {{{"x", B_INT32_TYPE}}}},
     {}},
    {"Item",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_INDEX_SPECIFIER, B_NAME_SPECIFIER},
     "an item",
     42,
     {B_STRING_TYPE, B_INT32_TYPE},
     {},
     {}},
    {"Any", {}, {}, "anything", 0, {}, {}, {}},
    {},
};

value_info sValues[] = {
    {"Reset", 'rset', B_COMMAND_KIND, "resets it", 5, {}},
    {},
};

std::vector<uint8> flatten(const BPropertyInfo& info)
{
	std::vector<uint8> bytes(info.FlattenedSize());
	EXPECT_EQ(B_OK, info.Flatten(bytes.data(), bytes.size()));
	return bytes;
}

} // namespace

TEST(PropertyInfoTest, EditorSuiteTableFlattensToTheKnownBytes)
{
	BPropertyInfo info(gLocaleSuiteProperties);
	EXPECT_EQ(3, info.CountProperties());
	EXPECT_EQ((type_code)B_PROPERTY_INFO_TYPE, info.TypeCode());
	EXPECT_FALSE(info.IsFixedSize());
	std::vector<uint8> expected = from_hex(kEditorTableHex);
	ASSERT_EQ(245u, expected.size());
	EXPECT_EQ(245, info.FlattenedSize());
	EXPECT_EQ(expected, flatten(info));

	std::vector<uint8> tooSmall(244);
	EXPECT_EQ(B_BAD_VALUE, info.Flatten(tooSmall.data(), tooSmall.size()));
}

TEST(PropertyInfoTest, UnflattenRestoresRowsCompoundTypesAndValues)
{
	BPropertyInfo original(sRichTable, sValues);
	std::vector<uint8> bytes = flatten(original);

	BPropertyInfo copy;
	ASSERT_EQ(B_OK, copy.Unflatten(B_PROPERTY_INFO_TYPE, bytes.data(), bytes.size()));
	ASSERT_EQ(3, copy.CountProperties());
	ASSERT_EQ(1, copy.CountValues());
	const property_info* rows = copy.Properties();
	EXPECT_STREQ("Suites", rows[0].name);
	EXPECT_STREQ("", rows[0].usage);
	EXPECT_STREQ("suites", rows[0].ctypes[0].pairs[0].name);
	EXPECT_EQ((type_code)B_PROPERTY_INFO_TYPE, rows[0].ctypes[0].pairs[1].type);
	EXPECT_STREQ("x", rows[0].ctypes[1].pairs[0].name);
	EXPECT_EQ(nullptr, rows[0].ctypes[2].pairs[0].name);
	EXPECT_EQ((uint32)B_SET_PROPERTY, rows[1].commands[1]);
	EXPECT_EQ(0u, rows[1].commands[2]);
	EXPECT_EQ((uint32)B_NAME_SPECIFIER, rows[1].specifiers[1]);
	EXPECT_EQ(42u, rows[1].extra_data);
	EXPECT_EQ((uint32)B_INT32_TYPE, rows[1].types[1]);
	EXPECT_EQ(0u, rows[2].commands[0]);
	EXPECT_EQ(nullptr, rows[3].name);
	EXPECT_STREQ("Reset", copy.Values()[0].name);
	EXPECT_EQ((uint32)'rset', copy.Values()[0].value);
	EXPECT_EQ(5u, copy.Values()[0].extra_data);
	// And it flattens to the same bytes again.
	EXPECT_EQ(bytes, flatten(copy));
}

TEST(PropertyInfoTest, UnflattenReadsBigEndianTables)
{
	// One row "P", usage "u", extra 1, command 'PGET', form 1, no types.
	const uint8 big[] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 'P', 0, 'u', 0, 0, 0, 0, 1, 'P', 'G', 'E', 'T',
	                     0, 0, 0, 0, 0, 0, 0, 1, 0, 0,   0, 0,   0, 0, 0, 0, 0, 0,   0,   0};
	BPropertyInfo info;
	ASSERT_EQ(B_OK, info.Unflatten(B_PROPERTY_INFO_TYPE, big, sizeof(big)));
	ASSERT_EQ(1, info.CountProperties());
	EXPECT_STREQ("P", info.Properties()[0].name);
	EXPECT_EQ(1u, info.Properties()[0].extra_data);
	EXPECT_EQ((uint32)B_GET_PROPERTY, info.Properties()[0].commands[0]);
	EXPECT_EQ((uint32)B_DIRECT_SPECIFIER, info.Properties()[0].specifiers[0]);
}

TEST(PropertyInfoTest, UnflattenRejectsEveryTruncationAndBadHeaders)
{
	BPropertyInfo original(sRichTable, sValues);
	std::vector<uint8> bytes = flatten(original);
	for (size_t size = 0; size < bytes.size(); size++) {
		BPropertyInfo info;
		EXPECT_EQ(B_BAD_DATA, info.Unflatten(B_PROPERTY_INFO_TYPE, bytes.data(), size))
		    << "size " << size;
		EXPECT_EQ(0, info.CountProperties());
	}

	BPropertyInfo info;
	EXPECT_EQ(B_BAD_DATA, info.Unflatten(B_STRING_TYPE, bytes.data(), bytes.size()));
	std::vector<uint8> longer = bytes;
	longer.push_back(0);
	EXPECT_EQ(B_BAD_DATA, info.Unflatten(B_PROPERTY_INFO_TYPE, longer.data(), longer.size()));
	std::vector<uint8> badOrder = bytes;
	badOrder[0] = 7;
	EXPECT_EQ(B_BAD_DATA, info.Unflatten(B_PROPERTY_INFO_TYPE, badOrder.data(), badOrder.size()));
	std::vector<uint8> hugeCount = bytes;
	hugeCount[1] = hugeCount[2] = hugeCount[3] = hugeCount[4] = 0x7f;
	EXPECT_EQ(B_BAD_DATA, info.Unflatten(B_PROPERTY_INFO_TYPE, hugeCount.data(), hugeCount.size()));
	// A command list longer than the table can hold.
	std::vector<uint8> longList = {0, 1, 0, 0, 0, 1, 0, 0, 0, 'P', 0, 0, 0, 0, 0, 0};
	for (int i = 0; i < 11; i++)
		longList.insert(longList.end(), {'T', 'E', 'G', 'P'});
	longList.insert(longList.end(), 16, 0);
	EXPECT_EQ(B_BAD_DATA, info.Unflatten(B_PROPERTY_INFO_TYPE, longList.data(), longList.size()));
}

TEST(PropertyInfoTest, FindMatchNeedsNameFormAndCommandOfTheFirstSpecifier)
{
	BPropertyInfo info(sRichTable);
	BMessage get(B_GET_PROPERTY);
	BMessage set(B_SET_PROPERTY);
	BMessage count(B_COUNT_PROPERTIES);
	BMessage spec;

	EXPECT_EQ(1, info.FindMatch(&get, 0, &spec, B_INDEX_SPECIFIER, "Item"));
	EXPECT_EQ(1, info.FindMatch(&set, 0, &spec, B_NAME_SPECIFIER, "Item"));
	EXPECT_EQ(-1, info.FindMatch(&count, 0, &spec, B_INDEX_SPECIFIER, "Item"));
	EXPECT_EQ(-1, info.FindMatch(&get, 0, &spec, B_DIRECT_SPECIFIER, "Item"));
	EXPECT_EQ(-1, info.FindMatch(&get, 0, &spec, B_INDEX_SPECIFIER, "item"));
	EXPECT_EQ(-1, info.FindMatch(&get, 0, &spec, B_INDEX_SPECIFIER, "Items"));
	// Commands are known for the outermost specifier only.
	EXPECT_EQ(-1, info.FindMatch(&get, 1, &spec, B_INDEX_SPECIFIER, "Item"));
	// Empty lists match anything, at any depth.
	EXPECT_EQ(2, info.FindMatch(&count, 3, &spec, B_RANGE_SPECIFIER, "Any"));
	EXPECT_EQ(-1, info.FindMatch(&get, 0, &spec, B_DIRECT_SPECIFIER, nullptr));
}
