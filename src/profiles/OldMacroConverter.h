#pragma once

// Macro files of the older layout (recognised by their "IgnoreDelayTime" key) rewritten in the current
// macro file format.

#include <QJsonObject>
#include <QString>

// 1: converted and written; -1: not an old macro file, left untouched; 0: unreadable, not a JSON object,
// or the new text could not be written (the file then keeps its old content).
int convertOldMacroFile(QString path);

// The play settings of an old macro object: "playType", "ignoreTime", "times" and "macroName".
QJsonObject convertOldMacroSettings(const QJsonObject& oldMacro);
// The events of an old macro object as {"list": [...]}, with a delay item after every timed event.
QJsonObject convertOldMacroEvents(const QJsonObject& oldMacro);
