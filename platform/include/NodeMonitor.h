// The node monitor: notices about changes to file-system nodes, delivered as
// B_NODE_MONITOR messages to a handler. Flags and opcodes are in AppDefs.h.
#ifndef _NODE_MONITOR_H
#define _NODE_MONITOR_H

#include "AppDefs.h"
#include "Messenger.h"
#include "Node.h"
#include "SupportDefs.h"

class BHandler;
class BLooper;

// Starts (or, with B_STOP_WATCHING, stops) watching a node for a target.
// Watching the same node again for the same target replaces its flags.
//
// The node must have been met by the storage kit (its node_ref came from
// BEntry::GetNodeRef, BNode::GetNodeRef or a notice), since Linux watches
// by path: otherwise B_ENTRY_NOT_FOUND. B_WATCH_MOUNT is not supported
// (B_NOT_SUPPORTED alone; ignored when combined).
//
// Notices ("opcode" int32, "device" int32, plus):
//  B_ENTRY_CREATED  "directory" int64, "node" int64, "name" string
//  B_ENTRY_REMOVED  "directory", "node", "name"
//  B_ENTRY_MOVED    "from directory", "to directory", "node", "name" (new),
//                   "from name"; to folder watchers, a folder that is not
//                   watched is reported as 0, and a file moved in from such
//                   a folder arrives as B_ENTRY_MOVED, as on the original
//                   platform; to B_WATCH_NAME watchers of the node itself,
//                   both folders and names are given
//  B_STAT_CHANGED   "node"
//  B_ATTR_CHANGED   "node", "attr" (attribute name, when it can be told)
// A removed file is reported at once; a removed folder watched with
// B_WATCH_NAME within about a second. A removed node's watches end.
// They come from a thread of the layer; a target that has gone away is
// dropped. Delivery is asynchronous: a notice may arrive after the change
// it reports has been undone.
status_t watch_node(const node_ref* node, uint32 flags, BMessenger target);
status_t watch_node(const node_ref* node, uint32 flags, const BHandler* handler,
                    const BLooper* looper = nullptr);

// Stops every watch of the target.
status_t stop_watching(BMessenger target);
status_t stop_watching(const BHandler* handler, const BLooper* looper = nullptr);

#endif // _NODE_MONITOR_H
