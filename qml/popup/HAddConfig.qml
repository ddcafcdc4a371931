import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Names a new profile of the current device and chooses its picture. An empty or a taken name is refused with a
// tip; otherwise createConfig hands picture and name to the window, which creates the profile. A name cannot
// begin with white space nor hold \ / ? < > " | : * or #. Enter confirms.
Popup {
    id: root

    property var mPic: ["qrc:/common/newUI/configPic1.png", "qrc:/common/newUI/configPic2.png",
        "qrc:/common/newUI/configPic3.png"]
    property int mPicIndex: 0

    signal createConfig(string pic, string text)

    function confirm() {
        var text = mNameField.text
        if (text === "") {
            h_suspension.showTips(1, qsTr("The profile name cannot be empty"))
            return
        }
        if (h_configView.isFolderHaveSameFile(text)) {
            h_suspension.showTips(1, qsTr("The profile name cannot be the same"))
            return
        }
        close()
        createConfig(mPic[mPicIndex], text)
    }

    parent: Overlay.overlay
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    z: 2
    width: g_resolution.getScaleLength(460)
    height: g_resolution.getScaleLength(300)
    padding: g_resolution.getScaleLength(24)
    closePolicy: Popup.CloseOnEscape
    onOpened: {
        mNameField.text = ""
        mPicIndex = 0
        mNameField.forceActiveFocus()
    }

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Text {
            id: mTitle
            text: qsTr("Add configuration file")
            color: "#303344"
            font.pixelSize: g_resolution.getScaleLength(18)
            font.bold: true
        }
        Image {
            id: mPicture
            objectName: "picture"
            anchors.top: mTitle.bottom
            anchors.topMargin: g_resolution.getScaleLength(20)
            width: g_resolution.getScaleLength(120)
            height: g_resolution.getScaleLength(90)
            fillMode: Image.PreserveAspectFit
            source: root.mPic[root.mPicIndex]
        }
        KTxtBtn {
            objectName: "another"
            anchors.horizontalCenter: mPicture.horizontalCenter
            anchors.top: mPicture.bottom
            width: g_resolution.getScaleLength(80)
            height: g_resolution.getScaleLength(26)
            mText: qsTr("Another")
            mColor: "#6195C2"
            mColorHovered: "#4A7BA6"
            mFontSize: 13
            onClicked: root.mPicIndex = (root.mPicIndex + 1) % root.mPic.length
        }
        // Each label above its field, which takes the room beside the picture.
        Grid {
            anchors.top: mPicture.top
            anchors.left: mPicture.right
            anchors.leftMargin: g_resolution.getScaleLength(24)
            anchors.right: parent.right
            columns: 1
            rowSpacing: g_resolution.getScaleLength(6)

            Text {
                text: qsTr("Configuration name:")
                color: "#5B6270"
                font.pixelSize: g_resolution.getScaleLength(14)
            }
            TextField {
                id: mNameField
                objectName: "nameField"
                width: parent.width
                font.pixelSize: g_resolution.getScaleLength(14)
                selectByMouse: true
                validator: RegExpValidator { regExp: /[^\s\\\/?<>"|:*#][^\\\/?<>"|:*#]*/ }
                // Enter confirms also what the validator holds incomplete (an empty name gets its tip).
                Keys.onReturnPressed: root.confirm()
                Keys.onEnterPressed: root.confirm()
            }
            Text {
                text: qsTr("Device:")
                color: "#5B6270"
                font.pixelSize: g_resolution.getScaleLength(14)
            }
            Text {
                objectName: "deviceName"
                width: parent.width
                elide: Text.ElideRight
                text: g_image.deviceName
                color: "#303344"
                font.pixelSize: g_resolution.getScaleLength(14)
            }
        }
        Row {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            spacing: g_resolution.getScaleLength(12)
            KTxtBtn {
                objectName: "cancel"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(34)
                mText: qsTr("Cancel")
                mColor: "#303344"
                mBgColor: "#EEF2F6"
                mBgColorHovered: "#DEE9F1"
                mRadius: 4
                onClicked: root.close()
            }
            KTxtBtn {
                objectName: "ok"
                width: g_resolution.getScaleLength(100)
                height: g_resolution.getScaleLength(34)
                mText: qsTr("OK")
                mColor: "#FFFFFF"
                mBgColor: "#6195C2"
                mBgColorHovered: "#4A7BA6"
                mRadius: 4
                onClicked: root.confirm()
            }
        }
    }
}
