#include "sim/bus/SimTransfer.h"

QString SimTransfer::opName(Op op)
{
    switch (op) {
    case Query: return QStringLiteral("query");
    case Open: return QStringLiteral("open");
    case Close: return QStringLiteral("close");
    case SetFeature: return QStringLiteral("setFeature");
    case GetFeature: return QStringLiteral("getFeature");
    case GetInputReport: return QStringLiteral("getInputReport");
    case Write: return QStringLiteral("write");
    case Read: return QStringLiteral("read");
    case Cancel: return QStringLiteral("cancel");
    case TransactionBegin: return QStringLiteral("begin");
    case TransactionEnd: return QStringLiteral("end");
    }
    return QString();
}
