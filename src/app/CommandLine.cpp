#include "app/CommandLine.h"

#include <cmath>

CommandLine CommandLine::parse(const QStringList& arguments)
{
    static const QString kLog = QStringLiteral("-log");
    static const QString kScale = QStringLiteral("-scale");
    CommandLine result;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == kLog) {
            result.log = true;
            continue;
        }
        if (!argument.startsWith(kScale))
            continue;
        // The factor follows the switch directly: no blanks around it.
        const QString text = argument.mid(kScale.size());
        bool ok = text == text.trimmed();
        const float factor = ok ? text.toFloat(&ok) : 0.0f;
        if (!ok || !std::isfinite(factor) || factor < kMinScale || factor > kMaxScale) {
            result.ignored.append(QStringLiteral("ignored \"%1\": the scale is a number from 0.25 to 4 "
                                                 "directly after -scale, as in -scale1.5")
                                      .arg(argument));
            continue;
        }
        result.hasScale = true;
        result.scale = factor;
    }
    return result;
}
