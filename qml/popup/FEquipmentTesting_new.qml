import QtQuick 2.12

// Device detection notice.
// The window relies on this interface; the document's content is built on it.
Rectangle {
    id: root

    signal mSender(int flags)
}
