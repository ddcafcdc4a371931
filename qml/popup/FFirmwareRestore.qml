import QtQuick 2.12
import QtQuick.Controls 2.12

// Firmware upgrade with progress.
// The window relies on this interface; the document's content is built on it.
Popup {
    id: root

    property string mImg: ""

    signal mSender(int buttonIndex)
}
