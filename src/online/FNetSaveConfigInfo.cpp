#include "online/FNetSaveConfigInfo.h"

void FNetSaveConfigInfo::configInfo(QString filePath, QString mouseType, bool configType)
{
    postJson(configType ? ConfigSave : MacroConfigSave,
             QJsonObject{{"filePath", filePath}, {"configContent", QString()}, {"configType", mouseType}});
}

void FNetSaveConfigInfo::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    // A transport error is reported too (-1): the backup waits for this answer to go on or to end.
    reportReply(reply, body, false);
}
