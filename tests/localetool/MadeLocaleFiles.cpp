#include "MadeLocaleFiles.h"

#include <gtest/gtest.h>

#include <Message.h>
#include <Node.h>
#include <fs_attr.h>

#include "LocaleFile.h"

void MakeLocaleFile(const std::string& path, const std::string& language,
                    const std::vector<std::string>& texts, const std::string& version,
                    const std::string& appID)
{
	std::vector<const char*> pointers;
	for (const std::string& text : texts)
		pointers.push_back(text.c_str());
	BMessage message;
	LocaleFile::Build(&message, version.c_str(), appID.c_str(), language.c_str(), pointers.data(),
	                  (long)pointers.size());
	ASSERT_EQ(LocaleFile::Write(path.c_str(), message, language.c_str()), B_OK) << path;
}

std::string LanguageAttribute(const std::string& path)
{
	BNode node(path.c_str());
	attr_info info;
	if (node.InitCheck() != B_OK || node.GetAttrInfo(kLocaleLanguageAttr, &info) != B_OK ||
	    info.size < 0 || info.size > 4096)
		return "(none)";
	std::string value((size_t)info.size, '\0');
	if (node.ReadAttr(kLocaleLanguageAttr, B_STRING_TYPE, 0, value.data(), value.size()) !=
	    info.size)
		return "(none)";
	return value;
}
