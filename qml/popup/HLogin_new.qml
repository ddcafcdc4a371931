import QtQuick 2.12
import QtQuick.Controls 2.12

// Log-in form.
// The window relies on this interface; the document's content is built on it.
Popup {
    id: root

    signal sigLoginSuccessful()
    signal mClosing()
    signal mSender(int buttonIndex)
    signal mlogined(int loginflag)
    signal mRectangle(int index)
}
