// BPropertyInfo: the table of a scripting suite, matched against requests
// and flattened into the "messages" field of a "Suites" reply.
#ifndef _PROPERTY_INFO_H
#define _PROPERTY_INFO_H

#include "Flattenable.h"
#include "SupportDefs.h"
#include "TypeConstants.h"

class BMessage;

struct compound_type
{
	struct field_pair
	{
		const char* name;
		type_code type;
	};
	field_pair pairs[5];
};

// One row of a suite table. Lists end at their first 0 entry; an empty
// command or specifier list matches anything. A table ends with a row whose
// name is nullptr.
struct property_info
{
	const char* name;
	uint32 commands[10];
	uint32 specifiers[10];
	const char* usage;
	uint32 extra_data;
	uint32 types[10];
	compound_type ctypes[3];
	uint32 _reserved[10];
};

enum value_kind { B_COMMAND_KIND = 0, B_TYPE_CODE_KIND = 1 };

struct value_info
{
	const char* name;
	uint32 value;
	value_kind kind;
	const char* usage;
	uint32 extra_data;
	uint32 _reserved[10];
};

// Wraps a caller's table without copying it unless freeOnDelete is set, in
// which case the tables and their strings are taken over (they must then
// come from malloc/strdup, as Unflatten makes them).
class BPropertyInfo : public BFlattenable
{
public:
	BPropertyInfo(property_info* properties = nullptr, value_info* values = nullptr,
	              bool freeOnDelete = false);
	virtual ~BPropertyInfo();

	// The row (0 or more) whose name equals property, whose specifier list
	// holds form and whose command list holds message->what (checked only
	// for the first specifier, index 0); B_ERROR (-1) when none does.
	virtual int32 FindMatch(BMessage* message, int32 index, BMessage* specifier, int32 form,
	                        const char* property, void* data = nullptr) const;

	const property_info* Properties() const { return mProperties; }
	const value_info* Values() const { return mValues; }
	int32 CountProperties() const;
	int32 CountValues() const;

	virtual bool IsFixedSize() const { return false; }
	virtual type_code TypeCode() const { return B_PROPERTY_INFO_TYPE; }
	virtual ssize_t FlattenedSize() const;
	// Little-endian, as the first byte says.
	virtual status_t Flatten(void* buffer, ssize_t size) const;
	virtual bool AllowsTypeCode(type_code code) const { return code == B_PROPERTY_INFO_TYPE; }
	// Reads either byte order; anything truncated or inconsistent gives
	// B_BAD_DATA and leaves the object empty.
	virtual status_t Unflatten(type_code code, const void* buffer, ssize_t size);

private:
	BPropertyInfo(const BPropertyInfo&) = delete;
	BPropertyInfo& operator=(const BPropertyInfo&) = delete;

	void _FreeTables();

	property_info* mProperties;
	value_info* mValues;
	int32 mPropertyCount;
	int32 mValueCount;
	bool mFreeOnDelete;
};

#endif // _PROPERTY_INFO_H
