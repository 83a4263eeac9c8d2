// A large reply from the real editor: hey gets it in a sealed memory file
// beside the bus (RequestFd) with the very bytes the inline Request gives.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>

#include <AppDefs.h>
#include <Message.h>

#include "EditorFixture.h"
#include "EnvironmentGuard.h"

namespace {

// Under the 128 KiB the kernel allows one command-line argument.
const size_t kChunkSize = 100000;
const int kChunks = 5;

class LargeReplyTest : public EditorFixture
{
protected:
	// A locale text of about half a megabyte, set through hey in pieces.
	static std::string SetLargeText()
	{
		std::string text;
		for (int chunk = 0; chunk < kChunks; chunk++) {
			std::string piece;
			for (int id = 1; piece.size() < kChunkSize; id++) {
				piece += "; #ID" + std::to_string(id) + ":\nEintrag " + std::to_string(chunk) +
				         "." + std::to_string(id) + " — Grüße\tmit Tab\n";
			}
			// The first replaces the whole text, the others go at its end.
			const std::string end =
			    "[" + std::to_string(text.size()) + " to " + std::to_string(text.size()) + "]";
			std::vector<std::string> words = chunk == 0 ? Of({"set", "Text"}, kLocaleText)
			                                            : Of({"set", "Text", end}, kLocaleText);
			words.insert(words.end(), {"to", piece});
			HeyResult set = Hey(words);
			EXPECT_EQ(0, set.exitCode) << set.err;
			text += piece;
		}
		return text;
	}
};

// The get Text request for the locale text, as hey flattens it.
BMessage text_request()
{
	BMessage request(B_GET_PROPERTY);
	// The first in the chain is resolved last, as hey adds them.
	request.AddSpecifier("Text");
	request.AddSpecifier("View", kLocaleTextView);
	request.AddSpecifier("Window", (int32)0);
	return request;
}

TEST_F(LargeReplyTest, ALargeTextComesInASealedFileWithTheBytesOfAnInlineReply)
{
	const std::string text = SetLargeText();

	HeyResult inFile = Hey(Of({"get", "Text"}, kLocaleText));
	ASSERT_EQ(0, inFile.exitCode) << inFile.err;
	EXPECT_EQ(text, ResultString(inFile));
	HeyResult inlined;
	{
		EnvironmentGuard inlineOnly("VESSMOR_BUS_INLINE_REPLIES", "1");
		inlined = Hey(Of({"get", "Text"}, kLocaleText));
	}
	ASSERT_EQ(0, inlined.exitCode) << inlined.err;
	EXPECT_TRUE(inFile.out == inlined.out) << "the two ways gave different replies";
	EXPECT_EQ(inFile.err, inlined.err);

	// The editor answers RequestFd with a descriptor of a sealed memory file
	// that holds the reply.
	int argc = 1;
	char name[] = "endtoend";
	char* argv[] = {name, nullptr};
	QCoreApplication app(argc, argv);
	QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "large");
	ASSERT_TRUE(bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing);
	BMessage request = text_request();
	QByteArray bytes(request.FlattenedSize(), 0);
	ASSERT_EQ(B_OK, request.Flatten(bytes.data(), bytes.size()));
	QDBusMessage call =
	    QDBusMessage::createMethodCall(QString("org.vessmor.Team%1").arg(sEditor->Team()),
	                                   "/org/vessmor/App", "org.vessmor.App", "RequestFd");
	call << bytes << -1 << -1;
	QDBusMessage answer = bus.call(call, QDBus::Block, 10000);
	ASSERT_EQ(QDBusMessage::ReplyMessage, answer.type()) << answer.errorMessage().toStdString();
	ASSERT_EQ(QString("h"), answer.signature());
	QDBusUnixFileDescriptor file = qdbus_cast<QDBusUnixFileDescriptor>(answer.arguments().at(0));
	ASSERT_TRUE(file.isValid());
	struct stat info;
	ASSERT_EQ(0, fstat(file.fileDescriptor(), &info));
	EXPECT_TRUE(S_ISREG(info.st_mode));
	EXPECT_EQ(F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL,
	          fcntl(file.fileDescriptor(), F_GET_SEALS));
	std::string flat((size_t)info.st_size, '\0');
	ASSERT_EQ(info.st_size, pread(file.fileDescriptor(), flat.data(), flat.size(), 0));
	BMessage reply;
	ASSERT_EQ(B_OK, reply.Unflatten(flat.data(), flat.size()));
	EXPECT_EQ((uint32)B_REPLY, reply.what);
	EXPECT_TRUE(text == reply.GetString("result", "")) << "the file holds another text";
	QDBusConnection::disconnectFromBus("large");
}

} // namespace
