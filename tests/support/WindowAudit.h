#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class QQuickWindow;

// The layout audit of the real main window: what a user would see as broken in the window as it is drawn now.
//
// Threads: GUI thread only.
namespace WindowAudit {

// The findings for the window as it shows now, one line each:
// - "cut": a text wider or taller than its box where it is not elided, or drawn across the edge of the box it
//   stands in (the nearest ancestor that draws a fill or a border) or of a clipping ancestor that is no scroll
//   view;
// - "overlap": two controls (buttons, fields, sliders, boxes) of the same layer that cover each other;
// - "outside": an item drawn beyond the window's edge;
// - "screen": the window beyond the screen's available area;
// - "language": a text of the other language: Chinese in the English interface, or in the Chinese interface an
//   English text that the Chinese table translates (untranslated is the set of those texts).
QStringList audit(QQuickWindow* window, const QString& language, const QSet<QString>& untranslated);

// The English texts that the program's Chinese table translates into something else.
QSet<QString> translatedTexts();

// One test program per device set: the whole program started on the simulated devices named (as
// CORVANE_SIMULATE names them), in English and Chinese at the scales 1 and 1.5, each page, dialog and popup
// opened as the user opens it and audited. Returns the test's exit code.
int runTest(int argc, char** argv, const QString& devices);

} // namespace WindowAudit
