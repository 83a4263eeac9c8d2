// A PO file as gettext's library holds it, read from bytes already in
// memory (PoInput), and freed completely.
//
// Who owns what: the library's documentation says that everything
// po_file_read hands out through the po_message_* calls lives until
// po_file_free. But po_file_free of this library releases neither the
// msgctxt strings of the messages nor the names of domains other than the
// default one: each import leaked its contexts. The contexts are the
// library's, so they are released through the library's own setter
// (po_message_set_msgctxt with null frees the old one) for every message of
// every domain before po_file_free; a library that frees them itself then
// finds null. A domain name is not reachable that way and stays with the
// library (a few bytes per "domain" line).
#ifndef PO_CATALOG_H
#define PO_CATALOG_H

#include <gettext-po.h>

#include <string>
#include <string_view>
#include <vector>

class PoCatalog
{
public:
	PoCatalog() = default;
	PoCatalog(const PoCatalog&) = delete;
	PoCatalog& operator=(const PoCatalog&) = delete;
	~PoCatalog();

	// Parses the PO text bytes; name is the file named in the line of a
	// fatal error (PoProblems). On failure answers false with the first
	// error the library reported (with its line) in error.
	bool Parse(std::string_view bytes, const std::string& name, std::string* error);

	po_file_t File() const { return mFile; }
	// The domains of the file, the default one ("messages") first.
	std::vector<std::string> Domains() const;

private:
	void _Free();

	po_file_t mFile = nullptr;
};

#endif // PO_CATALOG_H
