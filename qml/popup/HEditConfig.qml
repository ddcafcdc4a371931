import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Renames a profile (mName) and may give it another picture: changeDele hands the new name and the picture to the
// profile page, which checks the name and renames the files. The same name rules as for a new profile hold in
// the field; Enter confirms.
Popup {
    id: root

    property string mPic1: "qrc:/common/newUI/configPic1.png"
    property string mPic2: "qrc:/common/newUI/configPic2.png"
    property string mPic3: "qrc:/common/newUI/configPic3.png"
    property string mName: ""
    // The picture chosen: "" keeps the profile's own.
    property var mPic: ""
    property int mPicIndex: -1

    signal changePic(string pic)
    signal changeText(string text)
    signal changeDele(string text, string pic)

    function another() {
        var pictures = [mPic1, mPic2, mPic3]
        mPicIndex = (mPicIndex + 1) % pictures.length
        mPic = pictures[mPicIndex]
        changePic(mPic)
    }

    function confirm() {
        close()
        changeDele(mNameField.text, mPic)
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
        mNameField.text = mName
        mPic = ""
        mPicIndex = -1
        mNameField.forceActiveFocus()
        mNameField.selectAll()
    }

    background: Rectangle {
        color: "#FFFFFF"
        radius: g_resolution.getScaleLength(8)
        border.color: "#BAC2CA"
    }

    contentItem: Item {
        Text {
            id: mTitle
            text: qsTr("Modify configuration file")
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
            source: root.mPic !== "" ? root.mPic : root.mPic1
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
            onClicked: root.another()
        }
        Grid {
            anchors.top: mPicture.top
            anchors.left: mPicture.right
            anchors.leftMargin: g_resolution.getScaleLength(24)
            columns: 2
            rowSpacing: g_resolution.getScaleLength(16)
            columnSpacing: g_resolution.getScaleLength(8)
            verticalItemAlignment: Grid.AlignVCenter

            Text {
                text: qsTr("Configuration name:")
                color: "#5B6270"
                font.pixelSize: g_resolution.getScaleLength(14)
            }
            TextField {
                id: mNameField
                objectName: "nameField"
                width: g_resolution.getScaleLength(150)
                font.pixelSize: g_resolution.getScaleLength(14)
                selectByMouse: true
                validator: RegExpValidator { regExp: /[^\s\\\/?<>"|:*#][^\\\/?<>"|:*#]*/ }
                // Enter confirms also what the validator holds incomplete (an empty name gets its tip).
                Keys.onReturnPressed: root.confirm()
                Keys.onEnterPressed: root.confirm()
                onTextEdited: root.changeText(text)
            }
            Text {
                text: qsTr("Device:")
                color: "#5B6270"
                font.pixelSize: g_resolution.getScaleLength(14)
            }
            Text {
                objectName: "deviceName"
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
