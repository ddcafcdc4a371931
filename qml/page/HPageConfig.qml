import QtQuick 2.12
import QtQuick.Controls 2.12
import Model 1.0
import "qrc:/common"

// Profile page: the current device's profiles as cards. A click on a card applies that profile to the device and
// makes it current; each card offers rename (with a picture), restore to the factory profile, share and delete.
// The first card adds a profile. The popups of the window confirm and come back through changeDele,
// deleteConfig and restoreConfig.
Rectangle {
    id: root

    property string mCurrentTitle: ""
    property string mFilePath: ""
    property string mRootPath: g_common.getMSConfigFolderPath()
    property string mBasePath: mRootPath
    property string mConfigPath: mRootPath + "/" + mDeviceName
    property int mIndex: -1
    property int mConfigIndex: 0
    property string mDeviceName: g_image.deviceName
    property string mPicture: "qrc:/common/newUI/configPic1.png"
    property string mPicturePath: ""

    signal selectedConfig(string configName)
    signal showConfig(string configName)
    signal mSender(int buttonIndex)
    signal showEditName(string configName)
    // Emitted by the window's rename and restore popups; handled below.
    signal changeDele(string text, string pic)
    signal restoreConfig()

    // A folder URL is used without its "file:///" prefix.
    function localPath(path) {
        return path.replace(/^file:\/\/\//, "/").replace(/^\/\//, "/")
    }

    function profilePath(name) {
        return mConfigPath + "/" + name + ".json"
    }

    function initFromFile() {
        h_configView.initFromFile(localPath(mConfigPath))
        mConfigIndex = h_configView.getItemIndex()
    }

    // After a cloud download or a change of the list elsewhere: the list again, the current profile marked.
    function getItemIndexAgain() {
        initFromFile()
        var name = g_appModel.configPath.replace(/\.json$/i, "")
        showConfig(name)
    }

    function downLoadConfig() {
        getItemIndexAgain()
    }

    function setCurrentConfig(configName, index) {
        mCurrentTitle = configName
        mConfigIndex = index
    }

    function applyConfig(index, name) {
        mConfigIndex = index
        selectedConfig(name + ".json")
        showConfig(name)
        g_appModel.setMouseConfig(name + ".json", true)
        g_configFileController.readConfigData(profilePath(name))
    }

    function cardClicked(index, name) {
        if (index === 0) {
            mSender(25)
            return
        }
        applyConfig(index, name)
    }

    function editCard(index, name) {
        mIndex = index
        mFilePath = profilePath(name)
        showEditName(name)
        mSender(26)
    }

    function deleteCard(index, name) {
        mIndex = index
        mFilePath = profilePath(name)
        mSender(27)
    }

    function restoreCard(index, name) {
        mIndex = index
        mFilePath = profilePath(name)
        mSender(28)
    }

    // The rename confirmed in the dialog: the profile and its picture take the new name; a new picture is
    // stored under it. The current profile's name follows.
    onChangeDele: renameCard(text, pic)
    onRestoreConfig: restoreCurrent()

    function renameCard(text, pic) {
        var name = h_configView.getItemText(mIndex)
        if (text === "") {
            h_suspension.showTips(1, qsTr("The profile name cannot be empty"))
            return
        }
        if (text !== name && h_configView.isFolderHaveSameFile(text)) {
            h_suspension.showTips(1, qsTr("The profile name cannot be the same"))
            return
        }
        if (mIndex < 1 || name === "")
            return
        var folder = localPath(mConfigPath) + "/"
        if (text !== name) {
            if (!g_configFileController.renameFile(folder + name + ".json", text + ".json")) {
                h_suspension.showTips(1, qsTr("Failed to rename the profile"))
                return
            }
            if (g_configFileController.isConfigFile(folder + name + ".png")
                    && !g_configFileController.renameFile(folder + name + ".png", text + ".png")) {
                // The profile keeps its old name rather than lose its picture.
                g_configFileController.renameFile(folder + text + ".json", name + ".json")
                h_suspension.showTips(1, qsTr("Failed to rename the profile"))
                return
            }
        }
        if (pic.indexOf("qrc") === 0)
            h_configView.savePicture(pic.replace(/^qrc/, ""), folder, text)
        var isCurrent = g_appModel.configPath === name + ".json"
        var image = "file://" + folder + text + ".png"
        if (isCurrent)
            h_configView.setCurrentConfigName(folder + name, text, image, mIndex)
        else
            h_configView.changedItemAt(mIndex, text, false, image)
        if (isCurrent)
            showConfig(text)
    }

    // The delete confirmed in the dialog: the current profile stays (the device is set to it), any other goes
    // with its picture.
    function deleteConfig() {
        var name = h_configView.getItemText(mIndex)
        if (mIndex < 1 || name === "")
            return
        if (g_appModel.configPath === name + ".json") {
            console.log("The current configuration cannot be deleted")
            h_suspension.showTips(1, qsTr("The current configuration cannot be deleted"))
            return
        }
        if (!g_configFileController.deleteConfigFile(profilePath(name))) {
            h_suspension.showTips(1, qsTr("Failed to delete the profile"))
            return
        }
        h_configView.deleteItemAt(mIndex)
        mConfigIndex = h_configView.getItemIndex()
    }

    // The factory profile confirmed in the dialog: applied to the device and stored as the current profile.
    function restoreCurrent() {
        if (!g_configFileController.isConfigFile(mFilePath))
            g_configFileController.createConfig(localPath(mConfigPath))
        g_configFileController.setDefaultConfig()
    }

    color: "transparent"
    onVisibleChanged: if (visible) initFromFile()

    Connections {
        target: h_configView
        function onUpdateCurrentFileName(configName) {
            root.mCurrentTitle = configName
        }
        function onGetItemIndexAgain() {
            root.getItemIndexAgain()
        }
    }

    Text {
        id: mTitle
        x: g_resolution.getScaleLength(40)
        y: g_resolution.getScaleLength(30)
        text: qsTr("Configuration setting")
        color: "#303344"
        font.pixelSize: g_resolution.getScaleLength(20)
        font.bold: true
    }

    HConfigModel {
        id: mConfigModel
        configView: h_configView
    }

    GridView {
        id: mGrid
        objectName: "configGrid"
        anchors.top: mTitle.bottom
        anchors.topMargin: g_resolution.getScaleLength(20)
        anchors.left: parent.left
        anchors.leftMargin: g_resolution.getScaleLength(40)
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        cellWidth: g_resolution.getScaleLength(230)
        cellHeight: g_resolution.getScaleLength(210)
        boundsBehavior: Flickable.StopAtBounds
        model: mConfigModel
        ScrollBar.vertical: ScrollBar {}

        delegate: Item {
            id: mCard
            readonly property int mCardIndex: index
            readonly property string mCardText: model.text
            readonly property bool mIsAdd: index === 0
            readonly property bool mIsCurrent: !mIsAdd && g_appModel.configPath === model.text + ".json"
            objectName: mIsAdd ? "addCard" : "card_" + model.text
            width: mGrid.cellWidth
            height: mGrid.cellHeight

            Rectangle {
                anchors.fill: parent
                anchors.margins: g_resolution.getScaleLength(10)
                radius: g_resolution.getScaleLength(8)
                color: "#FFFFFF"
                border.width: mCard.mIsCurrent ? 2 : 1
                border.color: mCard.mIsCurrent ? "#6195C2" : (mCardArea.containsMouse ? "#9AA3AE" : "#DEE9F1")

                MouseArea {
                    id: mCardArea
                    objectName: "cardArea"
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton
                    onClicked: root.cardClicked(index, model.text)
                }

                Text {
                    visible: mCard.mIsAdd
                    anchors.centerIn: parent
                    anchors.verticalCenterOffset: -g_resolution.getScaleLength(14)
                    text: "+"
                    color: "#6195C2"
                    font.pixelSize: g_resolution.getScaleLength(48)
                }
                Text {
                    visible: mCard.mIsAdd
                    anchors.horizontalCenter: parent.horizontalCenter
                    anchors.bottom: parent.bottom
                    anchors.bottomMargin: g_resolution.getScaleLength(40)
                    text: qsTr("Add new configuration file")
                    color: "#5B6270"
                    font.pixelSize: g_resolution.getScaleLength(14)
                }

                Image {
                    id: mCardPicture
                    visible: !mCard.mIsAdd
                    // Below the "current" mark's line.
                    anchors.top: parent.top
                    anchors.topMargin: g_resolution.getScaleLength(28)
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: g_resolution.getScaleLength(120)
                    height: g_resolution.getScaleLength(80)
                    fillMode: Image.PreserveAspectFit
                    cache: false
                    source: mCard.mIsAdd ? "" : (model.image || "qrc:/common/newUI/configPic1.png")
                }
                Text {
                    id: mCardName
                    objectName: "cardName"
                    visible: !mCard.mIsAdd
                    anchors.top: mCardPicture.bottom
                    anchors.topMargin: g_resolution.getScaleLength(8)
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: parent.width - g_resolution.getScaleLength(20)
                    horizontalAlignment: Text.AlignHCenter
                    elide: Text.ElideRight
                    text: model.text
                    color: "#303344"
                    font.pixelSize: g_resolution.getScaleLength(14)
                    font.bold: mCard.mIsCurrent
                }
                Text {
                    objectName: "currentMark"
                    visible: mCard.mIsCurrent
                    anchors.top: parent.top
                    anchors.left: parent.left
                    anchors.margins: g_resolution.getScaleLength(8)
                    text: qsTr("Current configuration")
                    color: "#6195C2"
                    font.pixelSize: g_resolution.getScaleLength(12)
                }
                Row {
                    visible: !mCard.mIsAdd
                    anchors.bottom: parent.bottom
                    anchors.bottomMargin: g_resolution.getScaleLength(10)
                    anchors.horizontalCenter: parent.horizontalCenter
                    spacing: g_resolution.getScaleLength(16)

                    Repeater {
                        model: [
                            { name: "editBtn", normal: "qrc:/common/newUI/editBtn.png",
                              hover: "qrc:/common/newUI/editBtn_hover.png",
                              click: "qrc:/common/newUI/editBtn_click.png" },
                            { name: "restoreBtn", normal: "qrc:/common/newUI/restoreBtn.png",
                              hover: "qrc:/common/newUI/restoreBtn_hover.png",
                              click: "qrc:/common/newUI/restoreBtn_click.png" },
                            { name: "shareBtn", normal: "qrc:/common/newUI/shareBtn.png",
                              hover: "qrc:/common/newUI/shareBtn_hover.png",
                              click: "qrc:/common/newUI/shareBtn_click.png" },
                            { name: "deleteBtn", normal: "qrc:/common/newUI/deleteBtn.png",
                              hover: "qrc:/common/newUI/deleteBtn_hover.png",
                              click: "qrc:/common/newUI/deleteBtn_click.png" }
                        ]
                        KImgBtn {
                            objectName: modelData.name
                            mImgWidth: 22
                            mImgHeight: 22
                            mIsSelected: down
                            mImg: modelData.normal
                            mImgHovered: modelData.hover
                            mImgSel: modelData.click
                            mImgHoveredSel: mImgSel
                            onClicked: {
                                if (modelData.name === "editBtn")
                                    root.editCard(mCard.mCardIndex, mCard.mCardText)
                                else if (modelData.name === "restoreBtn")
                                    root.restoreCard(mCard.mCardIndex, mCard.mCardText)
                                else if (modelData.name === "deleteBtn")
                                    root.deleteCard(mCard.mCardIndex, mCard.mCardText)
                                else
                                    console.log("click shareBtn")
                            }
                        }
                    }
                }
            }
        }
    }
}
