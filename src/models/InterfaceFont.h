#pragma once

#include <QString>
#include <QStringList>

// The interface font is chosen by family among the fonts installed on the system: a font that covers both
// Latin and Chinese text first (the program's texts come in both), then the system's default. The program ships
// no font file of its own.
namespace InterfaceFont {

// The families tried, in order of preference.
const QStringList& preferredFamilies();
// The first preferred family the font database has; the default font's family when none is installed.
// Needs the GUI application.
QString family();

} // namespace InterfaceFont
