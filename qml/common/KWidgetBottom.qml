import QtQuick 2.12

// Earlier bottom bar: the name of the current profile and the button that asks to restore the factory settings
// (the window opens the confirmation).
Rectangle {
    id: root

    property string mConfigName: g_appModel.configPath.replace(/\.json$/i, "")

    signal restoreClicked()

    color: "#F5F7FA"
    height: g_resolution.getScaleLength(40)

    Text {
        anchors.left: parent.left
        anchors.leftMargin: g_resolution.getScaleLength(20)
        anchors.verticalCenter: parent.verticalCenter
        text: qsTr("Current configuration") + ": " + root.mConfigName
        color: "#303344"
        font.pixelSize: g_resolution.getScaleLength(13)
    }
    KTxtBtn {
        objectName: "restore"
        anchors.right: parent.right
        anchors.rightMargin: g_resolution.getScaleLength(20)
        anchors.verticalCenter: parent.verticalCenter
        mText: qsTr("Restore factory settings")
        mFontSize: 13
        mFontUnderLine: true
        mColorHovered: "#6195C2"
        onClicked: root.restoreClicked()
    }
}
