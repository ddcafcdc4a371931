#include "hid/KProcessGlobals.h"

std::function<void(int, int, bool, bool, bool)> g_keyboardHookCallback;

const QString g_storedTimeFormat = QStringLiteral("yyyy,MM,dd-hh:mm::ss:zzz");

QString g_firmwareDownloadUrl;

QMutex g_crashHandlerCreationLock;
