import QtQuick 2.12
import QtQuick.Controls 2.12

// Firmware is current.
// The window relies on this interface; the document's content is built on it.
Popup {
    id: root

    signal mSender(int buttonIndex)
}
