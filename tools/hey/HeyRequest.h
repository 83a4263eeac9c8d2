// The request hey sends, read from its command line:
//   VERB [SPECIFIER [of SPECIFIER]*] [to VALUE] [with NAME=VALUE [and NAME=VALUE]*]
#ifndef HEY_REQUEST_H
#define HEY_REQUEST_H

#include <string>
#include <vector>

#include <Message.h>

class HeyRequest
{
public:
	// Reads the words after the application; false with a one-line reason
	// in Error() when they do not form a request.
	bool Parse(const std::vector<std::string>& words);

	BMessage& Message() { return mMessage; }
	const std::string& Error() const { return mError; }
	// getsuites: the reply is a list of suites, printed as such.
	bool AsksSuites() const { return mAsksSuites; }

private:
	bool _ParseVerb(const std::string& verb);
	// One specifier starting at words[*at]; moves *at past it.
	bool _ParseSpecifier(const std::vector<std::string>& words, size_t* at);
	bool _Fail(const std::string& reason);

	BMessage mMessage;
	std::string mError;
	bool mAsksSuites = false;
};

#endif // HEY_REQUEST_H
