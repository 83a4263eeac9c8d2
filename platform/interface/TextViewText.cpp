// Byte text <-> document text, and lengths in both.
#include "TextViewData.h"

namespace BPrivate {

namespace {

// Characters the document would not keep as they are, and their stand-ins
// U+10FF00... (two UTF-16 units each, 0xDBFF then 0xDF00 + index).
const char16_t kStoodIn[] = {0x000D, 0x2029, 0xFDD0, 0xFDD1};
const int kStoodInCount = 4;
const char32_t kStandIn = 0x10FF00;


int
stood_in_index(char16_t unit)
{
	for (int i = 0; i < kStoodInCount; i++) {
		if (kStoodIn[i] == unit)
			return i;
	}
	return -1;
}


// Length in bytes and in document units of the character at text[i].
void
measure_character(const std::string& text, size_t i, size_t* bytes, int* units)
{
	const uint8 lead = (uint8)text[i];
	if (lead < 0x80) {
		*bytes = 1;
		*units = lead == 0x0D ? 2 : 1;
	} else if (lead >= 0xF0) {
		*bytes = 4;
		*units = 2;
	} else if (lead >= 0xE0) {
		*bytes = 3;
		*units = 1;
		if (i + 2 < text.size()) {
			const uint8 b1 = (uint8)text[i + 1], b2 = (uint8)text[i + 2];
			// U+2029, U+FDD0 and U+FDD1 have stand-ins.
			if ((lead == 0xE2 && b1 == 0x80 && b2 == 0xA9)
				|| (lead == 0xEF && b1 == 0xB7 && (b2 == 0x90 || b2 == 0x91)))
				*units = 2;
		}
	} else if (lead >= 0xC0) {
		*bytes = 2;
		*units = 1;
	} else {
		*bytes = 1;
		*units = 0;
	}
	*bytes = std::min(*bytes, text.size() - i);
}

} // namespace


QString
to_document_text(const char* bytes, size_t length)
{
	QString text = QString::fromUtf8(bytes, (qsizetype)length);
	bool special = false;
	for (QChar c : text) {
		if (stood_in_index(c.unicode()) >= 0) {
			special = true;
			break;
		}
	}
	if (!special)
		return text;
	QString out;
	out.reserve(text.size() + 16);
	for (QChar c : text) {
		const int index = stood_in_index(c.unicode());
		if (index < 0) {
			out += c;
			continue;
		}
		out += QChar(QChar::highSurrogate(kStandIn + index));
		out += QChar(QChar::lowSurrogate(kStandIn + index));
	}
	return out;
}


std::string
from_document_text(const QString& text)
{
	const QChar* units = text.constData();
	const qsizetype size = text.size();
	qsizetype i = 0;
	while (i < size && units[i].unicode() != 0xDBFF)
		i++;
	QByteArray utf8;
	if (i == size) {
		utf8 = text.toUtf8();
	} else {
		QString copy;
		copy.reserve(size);
		for (i = 0; i < size; i++) {
			const char16_t unit = units[i].unicode();
			if (unit == 0xDBFF && i + 1 < size) {
				const int index = units[i + 1].unicode() - 0xDF00;
				if (index >= 0 && index < kStoodInCount) {
					copy += QChar(kStoodIn[index]);
					i++;
					continue;
				}
			}
			copy += units[i];
		}
		utf8 = copy.toUtf8();
	}
	return std::string(utf8.constData(), (size_t)utf8.size());
}


int
document_length(const std::string& text, size_t bytes)
{
	bytes = std::min(bytes, text.size());
	int units = 0;
	size_t i = 0;
	while (i < bytes) {
		const uint8 lead = (uint8)text[i];
		if (lead < 0x80 && lead != 0x0D) {
			units++;
			i++;
			continue;
		}
		size_t length;
		int count;
		measure_character(text, i, &length, &count);
		units += count;
		i += length;
	}
	return units;
}


size_t
byte_length(const std::string& text, int characters)
{
	int units = 0;
	size_t i = 0;
	while (i < text.size() && units < characters) {
		size_t length;
		int count;
		measure_character(text, i, &length, &count);
		if (units + count > characters)
			break; // inside a surrogate pair: stay at its start
		units += count;
		i += length;
	}
	return i;
}

} // namespace BPrivate
