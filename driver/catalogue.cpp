#include "driver/catalogue.h"

const char kSuiteName[] = "NetQuillo";
const char kFindMenuLibraryFile[] = "NetQuillo.dll";

// The row's position is the module index: payload ids, check-box ids and progress order follow it.
const CatalogueRow kProductCatalogue[kCatalogueRowCount] = {
    {"WebQuillo", "Web", "WebQuillo.exe", "WebQuillo.hlp", "WebQuillo.cnt",
     "WebQuilloUninstall.exe", "&Web Pages...", "Search the World Wide Web"},
    {"EmailQuillo", "Email", "EmailQuillo.exe", "EmailQuillo.hlp", "EmailQuillo.cnt",
     "EmailQuilloUninstall.exe", "&Email Addresses...", "Find email addresses on the internet."},
    {"PhoneQuillo", "Phone", "PhoneQuillo.exe", "PhoneQuillo.hlp", "PhoneQuillo.cnt",
     "PhoneQuilloUninstall.exe", "&Phone Numbers...", "Find telephone numbers."},
    {"FileQuillo", "File", "FileQuillo.exe", "FileQuillo.hlp", "FileQuillo.cnt",
     "FileQuilloUninstall.exe", "Fi&les on the Internet...", "Find files on the Internet."},
    {"NewsQuillo", "News", "NewsQuillo.exe", "NewsQuillo.hlp", "NewsQuillo.cnt",
     "NewsQuilloUninstall.exe", "&News Articles...", "Find articles in UseNet newsgroups."},
    {"IRCQuillo", "IRC", "IRCQuillo.exe", "IRCQuillo.hlp", "IRCQuillo.cnt",
     "IRCQuilloUninstall.exe", "&IRC Users...", "Find users on the IRC servers."},
};
