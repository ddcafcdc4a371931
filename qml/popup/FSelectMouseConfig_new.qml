import QtQuick 2.12
import QtQuick.Controls 2.12

// The device matches no profile: choose.
// The window relies on this interface; the document's content is built on it.
Popup {
    id: root

    property string mConfigPath: ""

    signal mSender()
}
