// Attribute information as reported by BNode::GetAttrInfo.
#ifndef _FS_ATTR_H
#define _FS_ATTR_H

#include "SupportDefs.h"

struct attr_info
{
	uint32 type; // type code, see BNode::GetAttrInfo for how it is kept
	off_t size;  // bytes of the value
};

#endif // _FS_ATTR_H
