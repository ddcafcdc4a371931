#pragma once

// A JSON reader that takes only what RFC 8259 defines: no escapes beyond the nine of the grammar, no comments,
// no trailing commas, no NaN or Infinity, no bare control characters in strings, valid UTF-8 throughout and
// no member name twice in one object (Qt keeps one of them silently). A leading UTF-8 byte-order mark is
// skipped, as RFC 8259 lets a reader do. It only checks; reading the values is left to Qt.

#include <QByteArray>
#include <QString>

// Empty when bytes are one strict JSON text, otherwise what is wrong and at which byte.
QString strictJsonError(const QByteArray& bytes);
