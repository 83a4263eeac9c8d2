// Helpers shared by the storage kit (and the node monitor): errno mapping,
// path arithmetic and the node registry. Not part of the public API.
#ifndef _STORAGE_PRIVATE_H
#define _STORAGE_PRIVATE_H

#include <string>
#include <vector>

#include "Node.h"
#include "SupportDefs.h"

namespace BPrivate {

// errno → status code, with the attribute cases (ENODATA, ENOTSUP) that
// the general table does not know.
status_t storage_error(int error);

// An absolute path for path (relative ones against the current folder),
// with empty and "." components dropped. ".." is kept.
std::string absolute_path(const std::string& path);
// The components of an absolute path.
std::vector<std::string> split_path(const std::string& path);
// "/" for no components.
std::string join_path(const std::vector<std::string>& components);
// folder + "/" + leaf, without doubling the separator.
std::string append_path(const std::string& folder, const std::string& leaf);
// realpath(3) as a status: the path must exist.
status_t resolve_path(const std::string& path, std::string* resolved);

// What every getter checks first: an output to fill (B_BAD_VALUE without
// one), then the object's own status.
inline status_t check_getter(const void* output, status_t initStatus)
{
	return output == nullptr ? B_BAD_VALUE : initStatus;
}

// check_getter for a getter that also empties its output when the object
// itself is not set up.
template <typename Output> status_t check_getter_unset(Output* output, status_t initStatus)
{
	if (output != nullptr && initStatus != B_OK)
		output->Unset();
	return check_getter(output, initStatus);
}

// The node monitor needs a path for a node_ref. Every node_ref the kit
// hands out is remembered here with the path it was made from.
void remember_node(const node_ref& ref, const std::string& path);
// False when the node was never seen (or its path was forgotten).
bool path_for_node(const node_ref& ref, std::string* path);

} // namespace BPrivate

#endif // _STORAGE_PRIVATE_H
