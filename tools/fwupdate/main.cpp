#include "MainWindow.h"

#include "app/LogHandler.h"
#include "platform/crash/BreakpadHandler.h"
#include "update/UpdateProtocol.h"

#include <QApplication>
#include <QDebug>
#include <QStandardPaths>

// Tessaly, the firmware-update program: started by Corvane with "-log" and "-token-file <path>", it proves
// itself with that token, takes one job over the local update connection and flashes through the library. It shows no window of its own and never ends by itself: Corvane
// ends it once the update has ended.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.contains(QStringLiteral("-log"))) {
        // The log goes to Tessaly's own local data folder; the program's folder may not be writable.
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/Log");
        LogFile::setFolders(folder, folder);
        installLogHandler();
    }

    BreakpadHandler::installForProgram();
    qDebug() << "crash_path:" << BreakpadHandler::instance()->dumpPath();

    // The one-time token that proves this program to Corvane: read once, and its file removed.
    const int tokenAt = arguments.indexOf(QLatin1String(UpdateProtocol::kTokenFileArgument));
    const QByteArray token = tokenAt >= 0 ? UpdateProtocol::takeTokenFile(arguments.value(tokenAt + 1)) : QByteArray();
    if (token.isEmpty())
        qDebug() << "[Error] started without the update token: Corvane will not take this connection";

    auto* window = new MainWindow(token);
    const int result = app.exec();
    delete window;
    return result;
}
