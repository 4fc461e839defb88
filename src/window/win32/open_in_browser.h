// Opening a web address in the user's browser.
#pragma once

// The shell's "open" of the target, and when the shell fails, the browser
// registered for ".htm" files run with the target as its argument. True when
// one of them started; an empty target fails at once.
bool OpenInBrowser(const char* target);
