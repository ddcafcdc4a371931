import QtQuick 2.12

// Personal centre.
// The window relies on this interface; the document's content is built on it.
Item {
    id: root

    signal mSender(int buttonIndex)
    signal changeHeadportrait(string headportrait)
}
