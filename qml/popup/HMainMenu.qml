import QtQuick 2.12

// Profile menu of the user label.
// The window relies on this interface; the document's content is built on it.
Rectangle {
    id: root

    property string mCurrentTitle: ""
    property int mConfigIndex: 0

    signal selectdConfig(string configName)
    signal showConfig(string configName)
}
