#pragma once

// Telling UTF-8 from other bytes, for every layer (names from archives, answers of servers).

#include <QByteArray>
#include <QTextCodec>

// Whether bytes are UTF-8 from the first to the last: no invalid, overlong or cut-off sequence, no surrogate.
inline bool isUtf8(const QByteArray& bytes)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    QTextCodec::codecForMib(106)->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}
