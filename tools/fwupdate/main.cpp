#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessaly"));
    QTextStream(stderr) << "Tessaly: firmware updates are not available in this build\n";
    return 1;
}
