#pragma once

#include "models/keys/KMacroItem.h"

#include <QVector>

// Makes a recorded macro safe to play, as the keyboard and the register mice check it before a macro is
// written: a press without a later release of its key (by key text) gets a release at the end, a release
// without an earlier press is dropped, and a delay left at the end is dropped. False, with
// "[Error] macro is empty!!", for an empty list. Pure: callable from any thread.
bool filterMacroEvents(QVector<KMacroItem>& items);
