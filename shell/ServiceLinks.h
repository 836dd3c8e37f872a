#pragma once

#include <QString>

// The mail and web links behind the desktop application's menu commands,
// by the command's tag: 1 support mail, 2 beta-test mail, 3 product page,
// 4 store page, 5 the store page for the store application, 6 download
// page. Any other tag gives the empty text.
QString shellServiceLinkText(int tag);
// Opens the link with the user's default application; nothing for an empty
// or invalid link.
void openShellServiceLink(int tag);
