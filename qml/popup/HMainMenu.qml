import QtQuick 2.12
import QtQuick.Controls 2.12
import Qt.labs.folderlistmodel 2.12
import PaintLine 1.0
import "qrc:/common"

// Profile menu of the user label: the current device's profiles, the current one marked. A click applies the
// profile to the device and makes it current.
Rectangle {
    id: root

    property string mCurrentTitle: ""
    property var mFilePath: "file://" + mConfigPath
    property string mRootPath: g_common.getMSConfigFolderPath()
    property string mBasePath: mRootPath
    property string mConfigPath: mRootPath + "/" + mDeviceName
    property int mIndex: -1
    property int mConfigIndex: 0
    property string mDeviceName: g_image.deviceName
    property bool mIsSelected: false

    signal selectdConfig(string configName)
    signal showConfig(string configName)

    function baseName(fileName) {
        return fileName.replace(/\.json$/i, "")
    }

    // The folder listed again.
    function initFromFile() {
        mFolderModel.folder = ""
        mFolderModel.folder = mFilePath
    }

    // The current profile's row again, and its name shown.
    function getItemIndexAgain() {
        mConfigIndex = mFolderModel.indexOf(mFilePath + "/" + g_appModel.configPath)
        mCurrentTitle = baseName(g_appModel.configPath)
        showConfig(mCurrentTitle)
    }

    function downLoadConfig() {
        initFromFile()
        getItemIndexAgain()
    }

    function apply(index, fileName) {
        mIndex = index
        mConfigIndex = index
        mCurrentTitle = baseName(fileName)
        g_appModel.setMouseConfig(fileName, true)
        g_configFileController.readConfigData(mConfigPath + "/" + fileName)
        selectdConfig(fileName)
    }

    color: "#FFFFFF"
    radius: g_resolution.getScaleLength(4)

    FolderListModel {
        id: mFolderModel
        folder: root.mFilePath
        nameFilters: ["*.json"]
        showDirs: false
        sortField: FolderListModel.Name
    }

    ListView {
        id: mList
        objectName: "configList"
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(4)
        clip: true
        model: mFolderModel
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        delegate: Item {
            readonly property bool mCurrent: fileName === g_appModel.configPath
            objectName: "config_" + root.baseName(fileName)
            width: mList.width
            height: g_resolution.getScaleLength(32)

            Rectangle {
                anchors.fill: parent
                color: mArea.containsMouse ? "#EEF2F6" : "transparent"
            }
            Text {
                anchors.left: parent.left
                anchors.leftMargin: g_resolution.getScaleLength(12)
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                elide: Text.ElideRight
                text: root.baseName(fileName)
                color: parent.mCurrent ? "#6195C2" : "#303344"
                font.pixelSize: g_resolution.getScaleLength(13)
                font.bold: parent.mCurrent
            }
            PaintLine {
                anchors.bottom: parent.bottom
                width: parent.width
                height: 1
                color: "#DEE9F1"
                penWidth: 1
                Component.onCompleted: setOneLine(0, 0, width, 0)
            }
            MouseArea {
                id: mArea
                anchors.fill: parent
                hoverEnabled: true
                onClicked: root.apply(index, fileName)
            }
        }
    }
}
