// An object that can be stored in a message field as bytes (AddFlat).
#ifndef _FLATTENABLE_H
#define _FLATTENABLE_H

#include "SupportDefs.h"

class BFlattenable
{
public:
	virtual ~BFlattenable();

	virtual bool IsFixedSize() const = 0;
	virtual type_code TypeCode() const = 0;
	virtual ssize_t FlattenedSize() const = 0;
	// Writes FlattenedSize() bytes; B_BAD_VALUE when numBytes is too small.
	virtual status_t Flatten(void* buffer, ssize_t numBytes) const = 0;
	virtual bool AllowsTypeCode(type_code code) const;
	// Must reject truncated or inconsistent bytes with an error.
	virtual status_t Unflatten(type_code code, const void* buffer, ssize_t numBytes) = 0;
};

#endif // _FLATTENABLE_H
