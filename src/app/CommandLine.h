#pragma once

#include <QStringList>

// The program's switches: "-log" writes the log file; "-scale<factor>" (the factor directly after the switch,
// as in "-scale1.5") sets the UI scale. The program path (the first argument) is never a switch.
struct CommandLine
{
    static constexpr float kMinScale = 0.25f;
    static constexpr float kMaxScale = 4.0f;

    bool log = false;
    bool hasScale = false;
    float scale = 1.0f;
    // One line per argument that looked like a switch and was ignored, for the log.
    QStringList ignored;

    // Later "-scale" arguments replace earlier ones; a "-scale" whose factor is missing, not a finite number
    // or outside kMinScale..kMaxScale is ignored.
    static CommandLine parse(const QStringList& arguments);
};
