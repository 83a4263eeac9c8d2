// BMessage: a command code (`what`) plus named, typed fields, each holding
// one or more values in the order they were added.
//
// Ownership: a message owns copies of everything added to it. Pointers
// answered by FindString, FindData, etc. point into the message and stay
// valid until that field is changed or the message is emptied or destroyed.
// Threads: a message is a value; use one from one thread at a time.
#ifndef _MESSAGE_H
#define _MESSAGE_H

#include <atomic>
#include <memory>

#include "AppDefs.h"
#include "DataIO.h"
#include "EntryRef.h"
#include "Flattenable.h"
#include "GraphicsDefs.h"
#include "Rect.h"
#include "String.h"
#include "SupportDefs.h"
#include "TypeConstants.h"

class BHandler;
class BMessage;
class BMessenger;

// Specifier forms (the `what` of a specifier message).
enum {
	B_NO_SPECIFIER = 0,
	B_DIRECT_SPECIFIER = 1,
	B_INDEX_SPECIFIER,
	B_REVERSE_INDEX_SPECIFIER,
	B_RANGE_SPECIFIER,
	B_REVERSE_RANGE_SPECIFIER,
	B_NAME_SPECIFIER,
	B_ID_SPECIFIER,
	B_SPECIFIERS_END = 128,
};

#define B_FIELD_NAME_LENGTH 255
#define B_PROPERTY_NAME_LENGTH 255

namespace BPrivate {

// Where a reply to a delivered message goes. The app kit attaches one to a
// message whose sender waits for (or accepts) a reply. Copies of a message
// do not carry it. A channel accepts one reply: the first SendReply wins.
class ReplyChannel
{
public:
	virtual ~ReplyChannel();
	virtual status_t Deliver(const BMessage& reply, bigtime_t timeout) = 0;

	// True for the first caller only.
	bool ClaimReply();
	bool WasReplied() const;

private:
	std::atomic<bool> mReplied{false};
};

class MessageBody;
class MessageInternals;

} // namespace BPrivate

class BMessage
{
public:
	uint32 what;

	BMessage();
	BMessage(uint32 what);
	BMessage(const BMessage& other);
	virtual ~BMessage();
	BMessage& operator=(const BMessage& other);

	// Information about the fields. The index form counts only fields of
	// typeRequested (B_ANY_TYPE: all) in insertion order.
	status_t GetInfo(type_code typeRequested, int32 index, char** nameFound, type_code* typeFound,
	                 int32* countFound = nullptr) const;
	status_t GetInfo(type_code typeRequested, int32 index, const char** nameFound,
	                 type_code* typeFound, int32* countFound = nullptr) const;
	status_t GetInfo(const char* name, type_code* typeFound, int32* countFound = nullptr) const;
	status_t GetInfo(const char* name, type_code* typeFound, int32* countFound,
	                 bool* fixedSize) const;
	int32 CountNames(type_code type) const;
	bool IsEmpty() const;
	bool IsSystem() const; // `what` is '_' plus three capitals
	void PrintToStream() const;

	status_t Rename(const char* oldName, const char* newName);
	status_t RemoveName(const char* name);
	status_t RemoveData(const char* name, int32 index = 0);
	// Removes every field and specifier; keeps `what`.
	status_t MakeEmpty();

	// Delivery and replies (the app kit sets this state).
	bool WasDelivered() const;
	bool IsSourceWaiting() const;
	bool IsSourceRemote() const;
	bool IsReply() const;
	// Defined by the app kit.
	BMessenger ReturnAddress() const;
	// Note: replyTo is not supported yet; replies to replies are not routed.

	// B_BAD_REPLY when the message cannot be answered (not delivered, or
	// its sender takes no reply), B_DUPLICATE_REPLY after the first reply.
	status_t SendReply(uint32 command, BHandler* replyTo = nullptr);
	status_t SendReply(BMessage* reply, BHandler* replyTo = nullptr,
	                   bigtime_t timeout = B_INFINITE_TIMEOUT);

	// Flattening. Flatten writes the R5 little-endian form; pointer fields
	// are left out. Unflatten reads R5 (either byte order) and the Haiku
	// form; on any error the message is left empty (what = 0).
	ssize_t FlattenedSize() const;
	status_t Flatten(char* buffer, ssize_t size) const;
	status_t Flatten(BDataIO* stream, ssize_t* size = nullptr) const;
	// Reads as many bytes as the header announces: the caller vouches that
	// the buffer holds them. Prefer the bounded form for outside bytes.
	status_t Unflatten(const char* flatBuffer);
	status_t Unflatten(const void* buffer, size_t size);
	// Reads exactly one message from the stream's current position and
	// leaves the stream right after it.
	status_t Unflatten(BDataIO* stream);

	// Scripting specifiers: values of the field "specifiers".
	status_t AddSpecifier(const char* property);
	status_t AddSpecifier(const char* property, int32 index);
	status_t AddSpecifier(const char* property, int32 index, int32 range);
	status_t AddSpecifier(const char* property, const char* name);
	status_t AddSpecifier(const BMessage* specifier);
	status_t SetCurrentSpecifier(int32 index);
	// B_BAD_SCRIPT_SYNTAX when there is no current specifier.
	status_t GetCurrentSpecifier(int32* index, BMessage* specifier = nullptr, int32* form = nullptr,
	                             const char** property = nullptr) const;
	bool HasSpecifiers() const;
	status_t PopSpecifier();

	// Adding. A name holds values of one type: another type gives
	// B_BAD_TYPE; a fixed-size field refuses an item of another size
	// (B_BAD_VALUE); zero bytes are refused (B_BAD_VALUE).
	status_t AddRect(const char* name, BRect rect);
	status_t AddPoint(const char* name, BPoint point);
	status_t AddString(const char* name, const char* string);
	status_t AddString(const char* name, const BString& string);
	status_t AddInt8(const char* name, int8 value);
	status_t AddUInt8(const char* name, uint8 value);
	status_t AddInt16(const char* name, int16 value);
	status_t AddUInt16(const char* name, uint16 value);
	status_t AddInt32(const char* name, int32 value);
	status_t AddUInt32(const char* name, uint32 value);
	status_t AddInt64(const char* name, int64 value);
	status_t AddUInt64(const char* name, uint64 value);
	status_t AddBool(const char* name, bool value);
	status_t AddFloat(const char* name, float value);
	status_t AddDouble(const char* name, double value);
	status_t AddColor(const char* name, rgb_color color);
	status_t AddPointer(const char* name, const void* pointer);
	status_t AddRef(const char* name, const entry_ref* ref);
	status_t AddMessage(const char* name, const BMessage* message);
	status_t AddFlat(const char* name, const BFlattenable* object, int32 count = 1);
	status_t AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
	                 bool isFixedSize = true, int32 count = 1);

	// Finding. B_NAME_NOT_FOUND, B_BAD_TYPE or B_BAD_INDEX on failure.
	status_t FindRect(const char* name, BRect* rect) const;
	status_t FindRect(const char* name, int32 index, BRect* rect) const;
	status_t FindPoint(const char* name, BPoint* point) const;
	status_t FindPoint(const char* name, int32 index, BPoint* point) const;
	status_t FindString(const char* name, const char** string) const;
	status_t FindString(const char* name, int32 index, const char** string) const;
	status_t FindString(const char* name, BString* string) const;
	status_t FindString(const char* name, int32 index, BString* string) const;
	status_t FindInt8(const char* name, int8* value) const;
	status_t FindInt8(const char* name, int32 index, int8* value) const;
	status_t FindUInt8(const char* name, uint8* value) const;
	status_t FindUInt8(const char* name, int32 index, uint8* value) const;
	status_t FindInt16(const char* name, int16* value) const;
	status_t FindInt16(const char* name, int32 index, int16* value) const;
	status_t FindUInt16(const char* name, uint16* value) const;
	status_t FindUInt16(const char* name, int32 index, uint16* value) const;
	status_t FindInt32(const char* name, int32* value) const;
	status_t FindInt32(const char* name, int32 index, int32* value) const;
	status_t FindUInt32(const char* name, uint32* value) const;
	status_t FindUInt32(const char* name, int32 index, uint32* value) const;
	status_t FindInt64(const char* name, int64* value) const;
	status_t FindInt64(const char* name, int32 index, int64* value) const;
	status_t FindUInt64(const char* name, uint64* value) const;
	status_t FindUInt64(const char* name, int32 index, uint64* value) const;
	status_t FindBool(const char* name, bool* value) const;
	status_t FindBool(const char* name, int32 index, bool* value) const;
	status_t FindFloat(const char* name, float* value) const;
	status_t FindFloat(const char* name, int32 index, float* value) const;
	status_t FindDouble(const char* name, double* value) const;
	status_t FindDouble(const char* name, int32 index, double* value) const;
	status_t FindColor(const char* name, rgb_color* color) const;
	status_t FindColor(const char* name, int32 index, rgb_color* color) const;
	status_t FindPointer(const char* name, void** pointer) const;
	status_t FindPointer(const char* name, int32 index, void** pointer) const;
	status_t FindRef(const char* name, entry_ref* ref) const;
	status_t FindRef(const char* name, int32 index, entry_ref* ref) const;
	status_t FindMessage(const char* name, BMessage* message) const;
	status_t FindMessage(const char* name, int32 index, BMessage* message) const;
	status_t FindFlat(const char* name, BFlattenable* object) const;
	status_t FindFlat(const char* name, int32 index, BFlattenable* object) const;
	// type B_ANY_TYPE matches any field type.
	status_t FindData(const char* name, type_code type, const void** data, ssize_t* numBytes) const;
	status_t FindData(const char* name, type_code type, int32 index, const void** data,
	                  ssize_t* numBytes) const;

	// Replacing an existing value; same errors as Find.
	status_t ReplaceRect(const char* name, BRect rect);
	status_t ReplaceRect(const char* name, int32 index, BRect rect);
	status_t ReplacePoint(const char* name, BPoint point);
	status_t ReplacePoint(const char* name, int32 index, BPoint point);
	status_t ReplaceString(const char* name, const char* string);
	status_t ReplaceString(const char* name, int32 index, const char* string);
	status_t ReplaceString(const char* name, const BString& string);
	status_t ReplaceString(const char* name, int32 index, const BString& string);
	status_t ReplaceInt8(const char* name, int8 value);
	status_t ReplaceInt8(const char* name, int32 index, int8 value);
	status_t ReplaceInt16(const char* name, int16 value);
	status_t ReplaceInt16(const char* name, int32 index, int16 value);
	status_t ReplaceInt32(const char* name, int32 value);
	status_t ReplaceInt32(const char* name, int32 index, int32 value);
	status_t ReplaceUInt32(const char* name, uint32 value);
	status_t ReplaceUInt32(const char* name, int32 index, uint32 value);
	status_t ReplaceInt64(const char* name, int64 value);
	status_t ReplaceInt64(const char* name, int32 index, int64 value);
	status_t ReplaceBool(const char* name, bool value);
	status_t ReplaceBool(const char* name, int32 index, bool value);
	status_t ReplaceFloat(const char* name, float value);
	status_t ReplaceFloat(const char* name, int32 index, float value);
	status_t ReplaceDouble(const char* name, double value);
	status_t ReplaceDouble(const char* name, int32 index, double value);
	status_t ReplaceColor(const char* name, rgb_color color);
	status_t ReplaceColor(const char* name, int32 index, rgb_color color);
	status_t ReplacePointer(const char* name, const void* pointer);
	status_t ReplacePointer(const char* name, int32 index, const void* pointer);
	status_t ReplaceRef(const char* name, const entry_ref* ref);
	status_t ReplaceRef(const char* name, int32 index, const entry_ref* ref);
	status_t ReplaceMessage(const char* name, const BMessage* message);
	status_t ReplaceMessage(const char* name, int32 index, const BMessage* message);
	status_t ReplaceFlat(const char* name, const BFlattenable* object);
	status_t ReplaceFlat(const char* name, int32 index, const BFlattenable* object);
	status_t ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes);
	status_t ReplaceData(const char* name, type_code type, int32 index, const void* data,
	                     ssize_t numBytes);

	bool HasRect(const char* name, int32 index = 0) const;
	bool HasPoint(const char* name, int32 index = 0) const;
	bool HasString(const char* name, int32 index = 0) const;
	bool HasInt8(const char* name, int32 index = 0) const;
	bool HasInt16(const char* name, int32 index = 0) const;
	bool HasInt32(const char* name, int32 index = 0) const;
	bool HasInt64(const char* name, int32 index = 0) const;
	bool HasBool(const char* name, int32 index = 0) const;
	bool HasFloat(const char* name, int32 index = 0) const;
	bool HasDouble(const char* name, int32 index = 0) const;
	bool HasColor(const char* name, int32 index = 0) const;
	bool HasPointer(const char* name, int32 index = 0) const;
	bool HasRef(const char* name, int32 index = 0) const;
	bool HasMessage(const char* name, int32 index = 0) const;
	bool HasFlat(const char* name, const BFlattenable* object) const;
	bool HasFlat(const char* name, int32 index, const BFlattenable* object) const;
	bool HasData(const char* name, type_code type, int32 index = 0) const;

	// Convenience: the value, or the given default when it is missing.
	bool GetBool(const char* name, bool defaultValue = false) const;
	int32 GetInt32(const char* name, int32 defaultValue) const;
	int64 GetInt64(const char* name, int64 defaultValue) const;
	float GetFloat(const char* name, float defaultValue) const;
	double GetDouble(const char* name, double defaultValue) const;
	const char* GetString(const char* name, const char* defaultValue = nullptr) const;
	const char* GetString(const char* name, int32 index, const char* defaultValue) const;
	BRect GetRect(const char* name, const BRect& defaultValue) const;

private:
	friend class BPrivate::MessageInternals;

	status_t _Unflatten(const uint8* data, size_t size, int depth,
	                    std::shared_ptr<const void> keep);
	status_t _FindFixed(const char* name, type_code type, int32 index, size_t size,
	                    void* value) const;
	status_t _ReplaceFixed(const char* name, type_code type, int32 index, const void* value,
	                       size_t size);

	std::unique_ptr<BPrivate::MessageBody> mBody;
	int32 mCurrentSpecifier;
	bool mHasSpecifiers;
	bool mWasDelivered;
	bool mIsReply;
	bool mSourceWaiting;
	std::shared_ptr<BPrivate::ReplyChannel> mReplyChannel;
};

namespace BPrivate {

// Layer-internal access for the app kit: delivery state and reply routing.
class MessageInternals
{
public:
	static void SetReplyChannel(BMessage& message, std::shared_ptr<ReplyChannel> channel);
	static std::shared_ptr<ReplyChannel> GetReplyChannel(const BMessage& message);
	static void SetWasDelivered(BMessage& message, bool delivered);
	static void SetIsReply(BMessage& message, bool isReply);
	static void SetSourceWaiting(BMessage& message, bool waiting);
	// True once a reply went through the message's channel.
	static bool ReplySent(const BMessage& message);
	// Maximum nesting of messages inside messages accepted by Unflatten.
	static const int kMaxNesting = 64;
	// Unflatten at a given nesting depth (used while reading nested values).
	static status_t UnflattenNested(BMessage& message, const void* data, size_t size, int depth);
	// Unflatten of bytes that keep holds and nobody changes while it lives
	// (a sealed mapping): large fields point into them instead of being
	// copied, until they are changed. The message and its copies share keep.
	static status_t UnflattenInPlace(BMessage& message, const void* data, size_t size,
	                                 std::shared_ptr<const void> keep);
};

} // namespace BPrivate

#endif // _MESSAGE_H
