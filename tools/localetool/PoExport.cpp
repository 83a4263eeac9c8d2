// localetool export-po REFERENCE [TRANSLATION] -o OUT.po
#include <algorithm>
#include <cstdio>
#include <string>

#include <SafeFile.h>

#include "LocaleEntries.h"
#include "OutputArguments.h"
#include "PoHeader.h"
#include "PoText.h"
#include "PoWriter.h"
#include "ToolCommands.h"
#include "ToolOutput.h"

namespace {

const mode_t kNewFileMode = 0644;

const OutputUsage kUsage = {"export-po", 1, 2,
                            "export-po takes REFERENCE, TRANSLATION and -o OUT.po", nullptr};

// A PO file is UTF-8 here and gettext's tools refuse anything else.
bool IsUtf8(std::string_view text)
{
	for (size_t i = 0; i < text.size();) {
		const unsigned char c = (unsigned char)text[i];
		const size_t length = c < 0x80             ? 1
		                      : (c & 0xe0) == 0xc0 ? 2
		                      : (c & 0xf0) == 0xe0 ? 3
		                      : (c & 0xf8) == 0xf0 ? 4
		                                           : 0;
		if (length == 0 || i + length > text.size() || (length == 2 && c < 0xc2))
			return false;
		for (size_t k = 1; k < length; k++) {
			if (((unsigned char)text[i + k] & 0xc0) != 0x80)
				return false;
		}
		i += length;
	}
	return true;
}

// Writes bytes as the file at path through the storage kit's safe write:
// the file there is replaced only once the new one is complete, keeps its
// attributes, mode and hard links, and a failure leaves it as it was.
status_t WriteOutput(const std::string& path, const std::string& bytes)
{
	SafeFile file;
	status_t status = file.SetTo(path.c_str());
	// A new file is readable by everyone whatever the umask says, as the
	// locale files are.
	if (status == B_OK && !file.ReplacesFile())
		status = file.SetPermissions(kNewFileMode);
	size_t done = 0;
	while (status == B_OK && done < bytes.size()) {
		const ssize_t written = file.Write(bytes.data() + done, bytes.size() - done);
		if (written <= 0)
			status = written < 0 ? (status_t)written : B_IO_ERROR;
		else
			done += (size_t)written;
	}
	if (status == B_OK)
		status = file.Commit();
	return status;
}

// Checks what goes into the PO file, then writes it.
int WritePo(std::string_view referencePath, const LocaleEntries& reference,
            std::string_view translationPath, const LocaleEntries* translation,
            const std::string& header, const std::string& outPath)
{
	PoWriter writer;
	writer.Add(nullptr, "", header);
	const size_t referenceCount = reference.Texts().size();
	const size_t translationCount = translation != nullptr ? translation->Texts().size() : 0;
	const size_t count = std::max(referenceCount, translationCount);
	std::string msgid, msgstr;
	char context[24];
	size_t rawBreaks = 0;
	for (size_t i = 0; i < count; i++) {
		const std::string_view wanted = i < referenceCount ? reference.Texts()[i] : "";
		const std::string_view given = i < translationCount ? translation->Texts()[i] : "";
		if (!IsUtf8(wanted))
			return Fail(referencePath, "entry " + std::to_string(i + 1) + " is not UTF-8");
		if (!IsUtf8(given))
			return Fail(translationPath, "entry " + std::to_string(i + 1) + " is not UTF-8");
		if (given.find_first_of("\n\t") != std::string_view::npos)
			rawBreaks++;
		snprintf(context, sizeof(context), "%zu", i + 1);
		PoText::FromLocale(wanted, &msgid);
		PoText::FromLocale(given, &msgstr);
		writer.Add(context, msgid, msgstr);
	}

	const status_t status = WriteOutput(outPath, writer.Text());
	if (status != B_OK)
		return Fail(outPath, std::string("cannot write: ") + b_status_string(status));
	// The PO file cannot tell a raw line feed or tab from the escape; both
	// show the same, but the import gives back the escape.
	if (rawBreaks > 0)
		Note(translationPath, std::to_string(rawBreaks) +
		                          " entries hold a raw line feed or tab, which import-po gives "
		                          "back as \\n or \\t");
	return kExitDone;
}

int ExportPo(const OutputArguments& split)
{
	const std::vector<std::string_view>& files = split.files;

	LocaleEntries reference, translation;
	std::string error;
	if (!reference.Load(std::string(files[0]).c_str(), &error))
		return Fail(files[0], error);
	const bool withTranslation = files.size() == 2;
	if (withTranslation && !translation.Load(std::string(files[1]).c_str(), &error))
		return Fail(files[1], error);

	std::string header;
	if (!PoHeader::Make(withTranslation ? translation : reference, withTranslation, &header,
	                    &error))
		return Fail(files[withTranslation ? 1 : 0], error);
	return WritePo(files[0], reference, withTranslation ? files[1] : "",
	               withTranslation ? &translation : nullptr, header, split.outPath);
}

} // namespace

int RunExportPo(const ToolArguments& arguments)
{
	return RunWithOutput(arguments, kUsage, ExportPo);
}
