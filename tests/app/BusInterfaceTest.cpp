// What an application says of itself on the bus (Introspect) is what it
// answers, and what docs/protocol.md tells other programs.
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <QByteArrayList>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QVariantMap>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include "BusTestSupport.h"
#include "FileBytes.h"
#include "Message.h"

using namespace apptest;

namespace {

const char* const kOurInterface = "org.vessmor.App";

struct Argument
{
	std::string type;
	std::string name;
	bool operator==(const Argument&) const = default;
};

struct Method
{
	std::string interface;
	std::string name;
	std::vector<Argument> in;
	std::vector<Argument> out;
};

struct Property
{
	std::string name;
	std::string type;
	bool operator==(const Property&) const = default;
};

std::string signature_of(const std::vector<Argument>& arguments)
{
	std::string signature;
	for (const Argument& argument : arguments)
		signature += argument.type;
	return signature;
}

QString service_of(pid_t team)
{
	return QString("org.vessmor.Team%1").arg(team);
}

// The methods and properties of the object's interfaces, in their order.
// The bus library adds a description of the properties interface of its
// own after ours; only the first description of an interface is read.
bool introspect(pid_t team, std::vector<Method>* methods, std::vector<Property>* properties)
{
	QDBusMessage call = QDBusMessage::createMethodCall(
	    service_of(team), "/org/vessmor/App", "org.freedesktop.DBus.Introspectable", "Introspect");
	QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
	if (reply.type() != QDBusMessage::ReplyMessage)
		return false;
	QXmlStreamReader xml(reply.arguments().at(0).toString());
	std::string interface;
	std::set<std::string> seen;
	bool repeated = false;
	while (!xml.atEnd()) {
		if (xml.readNext() != QXmlStreamReader::StartElement)
			continue;
		auto attribute = [&](const char* name) {
			return xml.attributes().value(QLatin1String(name)).toString().toStdString();
		};
		if (xml.name() == QLatin1String("interface")) {
			interface = attribute("name");
			repeated = !seen.insert(interface).second;
		} else if (repeated) {
			continue;
		} else if (xml.name() == QLatin1String("method")) {
			methods->push_back(Method{interface, attribute("name"), {}, {}});
		} else if (xml.name() == QLatin1String("arg") && !methods->empty()) {
			Argument argument{attribute("type"), attribute("name")};
			if (attribute("direction") == "out")
				methods->back().out.push_back(argument);
			else
				methods->back().in.push_back(argument);
		} else if (xml.name() == QLatin1String("property") && interface == kOurInterface) {
			properties->push_back(Property{attribute("name"), attribute("type")});
		}
	}
	return !xml.hasError();
}

// A value the object accepts for an argument of that type and name.
QVariant sample_value(const Argument& argument, const QByteArray& message)
{
	if (argument.type == "ay")
		return message;
	if (argument.type == "aay")
		return QVariant::fromValue(QByteArrayList{message, message});
	if (argument.type == "i")
		return -1; // the application object; no reply address; no wait
	if (argument.name == "interface")
		return QString(kOurInterface);
	if (argument.name == "name")
		return QString("Signature");
	ADD_FAILURE() << "no sample for " << argument.type << " " << argument.name;
	return QVariant();
}

// "ay message, i looper" (or "—") as written in the protocol's table.
std::vector<Argument> arguments_in_document(std::string cell)
{
	std::vector<Argument> arguments;
	cell = std::regex_replace(cell, std::regex("`|^\\s+|\\s+$"), "");
	if (cell == "—")
		return arguments;
	std::stringstream list(cell);
	std::string item;
	while (std::getline(list, item, ',')) {
		std::stringstream words(item);
		Argument argument;
		words >> argument.type >> argument.name;
		arguments.push_back(argument);
	}
	return arguments;
}

std::string protocol_document()
{
	return ReadFileBytes(std::string(LE_SOURCE_DIR) + "/docs/protocol.md");
}

} // namespace

TEST_F(BusTest, EveryIntrospectedMethodAndPropertyIsAnsweredAsDescribed)
{
	Watchdog watchdog(60);
	qDBusRegisterMetaType<QByteArrayList>();
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer");
		std::vector<Method> methods;
		std::vector<Property> properties;
		ASSERT_TRUE(introspect(peer->Pid(), &methods, &properties));
		BMessage ping('ping');
		QByteArray bytes(ping.FlattenedSize(), 0);
		ASSERT_EQ(B_OK, ping.Flatten(bytes.data(), bytes.size()));

		int ours = 0;
		for (const Method& method : methods) {
			if (method.interface == "org.freedesktop.DBus.Introspectable" ||
			    method.interface == "org.freedesktop.DBus.Peer")
				continue; // the bus library's own
			ours++;
			QDBusMessage call = QDBusMessage::createMethodCall(
			    service_of(peer->Pid()), "/org/vessmor/App",
			    QString::fromStdString(method.interface), QString::fromStdString(method.name));
			for (const Argument& argument : method.in)
				call << sample_value(argument, bytes);
			QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
			ASSERT_EQ(QDBusMessage::ReplyMessage, reply.type())
			    << method.name << ": " << reply.errorMessage().toStdString();
			EXPECT_EQ(signature_of(method.out), reply.signature().toStdString()) << method.name;
		}
		EXPECT_EQ(7, ours) << "five of ours and the two of the properties";

		// Each property has the type described, and GetAll gives them all.
		QDBusMessage getAll =
		    QDBusMessage::createMethodCall(service_of(peer->Pid()), "/org/vessmor/App",
		                                   "org.freedesktop.DBus.Properties", "GetAll");
		getAll << QString(kOurInterface);
		QDBusMessage reply = QDBusConnection::sessionBus().call(getAll, QDBus::Block, 5000);
		ASSERT_EQ(QDBusMessage::ReplyMessage, reply.type());
		QVariantMap values = qdbus_cast<QVariantMap>(reply.arguments().at(0));
		EXPECT_EQ((qsizetype)properties.size(), values.size());
		for (const Property& property : properties) {
			QString name = QString::fromStdString(property.name);
			ASSERT_TRUE(values.contains(name)) << property.name;
			EXPECT_EQ(property.type, QDBusMetaType::typeToSignature(values.value(name).metaType()))
			    << property.name;
		}

		// What it does not describe, it does not answer.
		QDBusMessage unknown = QDBusMessage::createMethodCall(
		    service_of(peer->Pid()), "/org/vessmor/App", kOurInterface, "Requestz");
		reply = QDBusConnection::sessionBus().call(unknown, QDBus::Block, 5000);
		// (The bus library says so of the interface as a whole.)
		std::string error = reply.errorName().toStdString();
		EXPECT_TRUE(error == "org.freedesktop.DBus.Error.UnknownMethod" ||
		            error == "org.freedesktop.DBus.Error.UnknownInterface")
		    << error;
	});
}

TEST_F(BusTest, TheProtocolDocumentDescribesTheIntrospectedInterface)
{
	Watchdog watchdog(60);
	std::string document = protocol_document();
	ASSERT_FALSE(document.empty());
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer");
		std::vector<Method> methods;
		std::vector<Property> properties;
		ASSERT_TRUE(introspect(peer->Pid(), &methods, &properties));

		std::vector<Method> ourMethods;
		for (const Method& method : methods) {
			if (method.interface == kOurInterface)
				ourMethods.push_back(method);
		}
		// | `Post` | `ay message, i looper, ...` | — | what it does |
		std::regex row("\\n\\| `(\\w+)` \\| ([^|]+) \\| ([^|]+) \\|");
		size_t found = 0;
		for (auto it = std::sregex_iterator(document.begin(), document.end(), row);
		     it != std::sregex_iterator(); ++it, found++) {
			ASSERT_LT(found, ourMethods.size()) << "documented but not offered: " << (*it)[1];
			const Method& method = ourMethods[found];
			EXPECT_EQ(method.name, (*it)[1].str());
			EXPECT_EQ(method.in, arguments_in_document((*it)[2].str())) << method.name;
			EXPECT_EQ(method.out, arguments_in_document((*it)[3].str())) << method.name;
		}
		EXPECT_EQ(ourMethods.size(), found);

		// "read-only properties ...: `Team` (i), `Thread` (i), ..."
		size_t start = document.find("read-only properties");
		ASSERT_NE(std::string::npos, start);
		std::string paragraph = document.substr(start, document.find("\n\n", start) - start);
		std::regex listed("`(\\w+)` \\((\\w+)\\)");
		std::vector<Property> documented;
		for (auto it = std::sregex_iterator(paragraph.begin(), paragraph.end(), listed);
		     it != std::sregex_iterator(); ++it)
			documented.push_back(Property{(*it)[1].str(), (*it)[2].str()});
		EXPECT_EQ(properties, documented);
	});
}
