#pragma once

#include <QString>
#include <QStringList>

// Reads what Nordic's DFU tool (the maker's build) prints while it flashes, line by line:
//   "farrantupdatestart"   the transfer begins: progress and total go back to 0
//   "totle:<n>"            the total
//   "value:<n>"            an increment
//   "farrantupdateend"     the update is complete
// Lines end with "\r\n"; output may arrive in any pieces, so a line is read only once it is complete (or
// when the tool has ended, see finish()).
class NordicDfuOutput
{
public:
    enum class Event { None, Progress, End };

    struct Line {
        QString text;   // the line without its end
        Event event = Event::None;
        int value = 0;   // progress and total once the line was read
        int total = 0;
    };

    // Feeds a piece of output; returns the complete lines it finished, each with what it meant.
    QList<Line> feed(const QByteArray& output);
    // The tool has ended: a last line without its end is read too.
    QList<Line> finish();

    int value() const { return m_value; }
    int total() const { return m_total; }
    bool ended() const { return m_ended; }

private:
    Line interpret(const QString& text);

    QByteArray m_pending;
    int m_value = 0;
    int m_total = 0;
    bool m_ended = false;
};
