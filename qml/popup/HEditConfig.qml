import QtQuick 2.12
import QtQuick.Controls 2.12

// Rename profile.
// The window relies on this interface; the document's content is built on it.
Popup {
    id: root

    property string mName: ""

    signal changeDele(string text, string pic)
}
