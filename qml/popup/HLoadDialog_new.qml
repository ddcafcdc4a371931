import QtQuick 2.12
import QtQuick.Controls 2.12

// Busy indicator.
// The window relies on this interface; the document's content is built on it.
Popup {
    id: root

    // Busy: the window takes no input until the work is done.
    modal: true
    closePolicy: Popup.NoAutoClose

    function startLoading() {
        open()
    }
    function stopLoading() {
        close()
    }
}
