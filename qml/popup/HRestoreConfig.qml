import QtQuick 2.12
import QtQuick.Controls 2.12

// Restore factory settings confirmation (profile page).
// The window relies on this interface; the document's content is built on it.
Popup {
    id: root

    signal hRestoreConfig()
}
