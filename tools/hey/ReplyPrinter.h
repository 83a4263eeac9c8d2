// How hey shows a reply: readable lines, or JSON with -j.
#ifndef REPLY_PRINTER_H
#define REPLY_PRINTER_H

#include <cstdio>
#include <string>

class BMessage;

// Writes every field of reply to file, one value per line:
//   Reply BMessage(B_REPLY):
//      "result" (B_STRING_TYPE) : "text"
// With suites, the "suites" and "messages" fields of a getsuites reply are
// shown as each suite with the properties of its table.
void WriteReply(FILE* file, const BMessage& reply, bool suites);

// The same as one JSON object: {"what": "B_REPLY", "fields": {"result":
// [{"type": "B_STRING_TYPE", "value": "text"}]}, and "suites" for a
// getsuites reply.
std::string FormatReplyJson(const BMessage& reply, bool suites);

#endif // REPLY_PRINTER_H
