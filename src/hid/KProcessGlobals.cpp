#include "hid/KProcessGlobals.h"

std::function<void(int, int, bool, bool, bool)> g_keyboardHookCallback;

QString g_firmwareDownloadUrl;
