#ifndef APP_REF_POP_UP_H
#define APP_REF_POP_UP_H

// The pop-up of running applications that speak the locale suite. Each item
// shows the application's mini icon and file name and sends kMsgGetReference
// with the application's signature under "signature" and the item's label
// under "name".

#include <vector>

#include <Message.h>

class BPopUpMenu;
class LocaleSuiteClient;
class ZTBitmapMenuItem;

const uint32 kMsgGetReference = 'gref';
extern const char* const kFieldAppSignature; // "signature"
extern const char* const kFieldAppName;      // "name"
extern const char* const kAppRefMenuTitle;   // "Application Reference"
extern const char* const kLostFileLabel;     // "<Lost File>"

// A new pop-up, filled from the roster; the caller owns it.
BPopUpMenu* CreateAppRefMenu(const LocaleSuiteClient& client);
// The same pop-up with no items yet.
BPopUpMenu* CreateEmptyAppRefMenu();

// The running applications that answer the locale suite, in the roster's
// order. Asks each in turn, with the client's time-out.
std::vector<team_id> LocaleAppTeams(const LocaleSuiteClient& client);

// Empties menu and lists every running locale application in the roster's
// order; or the applications of teams, in their order.
void FillAppRefMenu(BPopUpMenu* menu, const LocaleSuiteClient& client);
void FillAppRefMenu(BPopUpMenu* menu, const std::vector<team_id>& teams);

// A new item for the running application of team; the caller owns it.
ZTBitmapMenuItem* CreateAppRefItem(team_id team);

#endif // APP_REF_POP_UP_H
