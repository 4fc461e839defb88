// Opening a hyperlink's target in the user's browser.
#pragma once

#include <QString>
#include <functional>

// True when the target was handed to a browser.
using TargetOpener = std::function<bool(const QString& target)>;

// The desktop's opener (xdg-open behind QDesktopServices) first; when that
// fails, the system's registered browser: x-www-browser, then $BROWSER.
// An empty target fails at once.
bool OpenTargetInBrowser(const QString& target);
