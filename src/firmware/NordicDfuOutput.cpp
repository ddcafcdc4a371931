#include "firmware/NordicDfuOutput.h"

namespace {

const QString kValue = QStringLiteral("value:");
const QString kTotal = QStringLiteral("totle:");
const QString kStart = QStringLiteral("farrantupdatestart");
const QString kEnd = QStringLiteral("farrantupdateend");
// A line longer than this is no line of the tool's; it is read as it stands rather than kept growing.
constexpr int kMaxLine = 4096;

} // namespace

NordicDfuOutput::Line NordicDfuOutput::interpret(const QString& text)
{
    Line line;
    line.text = text;
    // The number stands right after the six letters of its keyword.
    if (text.contains(kValue)) {
        m_value += text.mid(kValue.size()).trimmed().toInt();
        line.event = Event::Progress;
    } else if (text.contains(kTotal)) {
        m_total = text.mid(kTotal.size()).trimmed().toInt();
        line.event = Event::Progress;
    } else if (text.contains(kStart)) {
        m_value = 0;
        m_total = 0;
        line.event = Event::Progress;
    } else if (text.contains(kEnd)) {
        m_ended = true;
        line.event = Event::End;
    }
    line.value = m_value;
    line.total = m_total;
    return line;
}

QList<NordicDfuOutput::Line> NordicDfuOutput::feed(const QByteArray& output)
{
    m_pending.append(output);
    QList<Line> lines;
    int newline;
    while ((newline = m_pending.indexOf('\n')) >= 0 || m_pending.size() > kMaxLine) {
        const int cut = newline >= 0 ? newline : kMaxLine;
        QByteArray raw = m_pending.left(cut);
        m_pending.remove(0, newline >= 0 ? cut + 1 : cut);
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (!raw.isEmpty())
            lines.append(interpret(QString::fromLocal8Bit(raw)));
    }
    return lines;
}

QList<NordicDfuOutput::Line> NordicDfuOutput::finish()
{
    QList<Line> lines = feed("\n");
    m_pending.clear();
    return lines;
}
