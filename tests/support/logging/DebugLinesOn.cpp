// Compiled into every test program. The tests read the lines the program logs, its debug lines among them (the
// log texts are part of what the program does), so they must not depend on the logging rules of whoever runs
// them: the README suggests QT_LOGGING_RULES="default.debug=false" for the program. Before Qt reads the rules,
// this process's rules (and those of the programs it starts, which inherit them) get the default category's
// debug lines back; the rules given stay in force for everything else.

#include <QByteArray>
#include <QtGlobal>

namespace {

const bool g_debugLinesOn = [] {
    QByteArray rules = qgetenv("QT_LOGGING_RULES");
    if (!rules.isEmpty())
        rules += ';';
    // The environment's rules come last of all sources and the last matching rule wins.
    rules += "default.debug=true";
    return qputenv("QT_LOGGING_RULES", rules);
}();

} // namespace
