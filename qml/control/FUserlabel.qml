import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/popup"

// User label: head portrait, nickname (or the way to log in), the current profile with its menu, and the
// switch-device button while several devices are connected.
Rectangle {
    id: mLabelUser

    property bool mIsSelect: false
    property string mHeadportrait: g_configCommon.getHeadportrait() !== "" ? g_configCommon.getHeadportrait()
                                                                          : "qrc:/common/newUI/ProfilePhoto/head1.jpg"
    readonly property bool mLoggedIn: g_appModel.nickname !== ""
    readonly property string mConfigName: {
        var name = g_appModel.configPath.replace(/\\/g, "/")
        name = name.substring(name.lastIndexOf("/") + 1)
        return name.replace(/\.json$/i, "")
    }

    signal setOtherConfigMenu(string configName, int index)
    signal openLogin()
    signal openSelectEquipment()

    function setCurrentConfig(configName, index) {
        configMenu.mCurrentTitle = configName
        configMenu.mConfigIndex = index
    }

    function changeHeadportrait(headportrait) {
        mHeadportrait = headportrait
    }

    function hideDeviceBtn() {
        mChangeEquipment.visible = false
    }

    function showChangeEquipment() {
        mChangeEquipment.visible = true
    }

    function showMChangeEquipment(status) {
        mChangeEquipment.visible = status
    }

    function hideMChangeEquipment() {
        mChangeEquipment.visible = false
    }

    function nameClicked() {
        if (mLoggedIn) {
            mWindow.updatewindow(9)
        } else {
            openLogin()
            mWindow.mGeter(9)
        }
    }

    color: "transparent"
    height: g_resolution.getScaleLength(40)

    Row {
        id: row
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        spacing: g_resolution.getScaleLength(10)

        Item {
            width: g_resolution.getScaleLength(30)
            height: width
            anchors.verticalCenter: parent.verticalCenter
            Image {
                anchors.fill: parent
                anchors.margins: g_resolution.getScaleLength(2)
                source: mLabelUser.mHeadportrait
                fillMode: Image.PreserveAspectCrop
            }
            // The frame rounds the portrait off.
            Image {
                anchors.fill: parent
                source: "qrc:/common/newUI/label_user.png"
            }
            MouseArea {
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: if (mLabelUser.mLoggedIn) mWindow.updatewindow(9)
            }
        }
        KTxtBtn {
            objectName: "userName"
            anchors.verticalCenter: parent.verticalCenter
            mText: mLabelUser.mLoggedIn ? g_appModel.nickname : qsTr("Not logged in")
            mColor: "#303344"
            mColorHovered: "#6195C2"
            mFontSize: 14
            onClicked: mLabelUser.nameClicked()
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: "|"
            color: "#9AA3AE"
            font.pixelSize: g_resolution.getScaleLength(14)
        }
        Button {
            id: configButton
            objectName: "configButton"
            anchors.verticalCenter: parent.verticalCenter
            hoverEnabled: true
            background: Item {}
            contentItem: Row {
                spacing: g_resolution.getScaleLength(6)
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Configuration: ") + mLabelUser.mConfigName
                    color: configButton.hovered ? "#6195C2" : "#303344"
                    font.pixelSize: g_resolution.getScaleLength(14)
                }
                Image {
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(12)
                    height: width
                    source: configButton.down ? "qrc:/common/newUI/btn_open_press.png"
                                              : (configButton.hovered ? "qrc:/common/newUI/btn_open_hover.png"
                                                                      : "qrc:/common/newUI/btn_open_normal.png")
                }
            }
            onClicked: mLabelUser.mIsSelect = !mLabelUser.mIsSelect
        }
        Button {
            id: mChangeEquipment
            objectName: "changeEquipment"
            anchors.verticalCenter: parent.verticalCenter
            visible: false
            hoverEnabled: true
            height: g_resolution.getScaleLength(28)
            state: down ? "click" : (hovered ? "hover" : "normal")
            states: [
                State { name: "normal"; PropertyChanges { target: changeGround; color: "#32353c" } },
                State { name: "hover"; PropertyChanges { target: changeGround; color: "#686e7a" } },
                State { name: "click"; PropertyChanges { target: changeGround; color: "#222630" } }
            ]
            background: Rectangle {
                id: changeGround
                radius: g_resolution.getScaleLength(4)
            }
            contentItem: Row {
                spacing: g_resolution.getScaleLength(6)
                Image {
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(16)
                    height: width
                    source: "qrc:/common/newUI/changeEquipment_btn.png"
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Switch devices")
                    color: "#ffffff"
                    font.pixelSize: g_resolution.getScaleLength(13)
                }
            }
            onClicked: mLabelUser.openSelectEquipment()
        }
    }

    // The profile menu hangs below the profile button, its pointer drawn above it.
    Item {
        id: menuHolder
        visible: mLabelUser.mIsSelect
        x: configButton.x + configButton.width / 2 - width / 2
        y: mLabelUser.height
        z: 10
        width: configMenu.width
        height: configMenu.height + pointer.height

        Canvas {
            id: pointer
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(16)
            height: g_resolution.getScaleLength(8)
            onPaint: {
                var ctx = getContext("2d")
                ctx.reset()
                ctx.fillStyle = "#FFFFFF"
                ctx.beginPath()
                ctx.moveTo(0, height)
                ctx.lineTo(width / 2, 0)
                ctx.lineTo(width, height)
                ctx.closePath()
                ctx.fill()
            }
        }
        Canvas {
            anchors.top: pointer.bottom
            width: parent.width
            height: 1
            onPaint: {
                var ctx = getContext("2d")
                ctx.reset()
                ctx.fillStyle = "#FFFFFF"
                ctx.fillRect(0, 0, width, height)
            }
        }
        HMainMenu {
            id: configMenu
            anchors.top: pointer.bottom
            width: g_resolution.getScaleLength(220)
            height: g_resolution.getScaleLength(200)
            onSelectdConfig: {
                mLabelUser.mIsSelect = false
                mLabelUser.setOtherConfigMenu(configName, configMenu.mConfigIndex)
            }
            onShowConfig: mLabelUser.mIsSelect = false
        }
    }
}
