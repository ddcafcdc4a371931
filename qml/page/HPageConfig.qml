import QtQuick 2.12

// Profile page.
// The window relies on this interface; the document's content is built on it.
Rectangle {
    id: root

    property int mConfigIndex: 0

    signal selectedConfig(string configName)
    signal showConfig(string configName)
    signal showEditName(string configName)

    function setCurrentConfig(configName, index) {
    }
    function changeDele(text, pic) {
    }
    function deleteConfig() {
    }
    function restoreConfig() {
    }
}
