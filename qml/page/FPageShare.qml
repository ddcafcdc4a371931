import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Sharing page: the tabs of shared profiles, macros and OLED pictures, their order and a search field. Its entry
// in the navigation stays hidden; the page holds only its controls.
Item {
    id: root

    property int mState: 0
    property bool isNewList: true

    Image {
        anchors.fill: parent
        source: "qrc:/common/newUI/share_background.png"
    }

    Row {
        id: mTabs
        x: g_resolution.getScaleLength(30)
        y: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(6)
        Repeater {
            model: [qsTr("Profile files"), qsTr("Macro files"), qsTr("OLED")]
            delegate: Button {
                width: g_resolution.getScaleLength(110)
                height: g_resolution.getScaleLength(36)
                onClicked: root.mState = index
                background: Image {
                    source: root.mState === index ? "qrc:/common/newUI/share_list_btn_select.png"
                                                  : "qrc:/common/newUI/share_list_btn.png"
                }
                contentItem: Text {
                    text: modelData
                    color: root.mState === index ? "#FFFFFF" : "#303344"
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    font.pixelSize: g_resolution.getScaleLength(14)
                }
            }
        }
    }

    Column {
        anchors.left: mTabs.left
        anchors.top: mTabs.bottom
        anchors.topMargin: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(8)
        FSelectVerticalBtn {
            mText: qsTr("Latest")
            mIsSelected: root.isNewList
            mColorSel: "#6195C2"
            onSig_clicked: root.isNewList = true
        }
        FSelectVerticalBtn {
            mText: qsTr("Most popular")
            mIsSelected: !root.isNewList
            mColorSel: "#6195C2"
            onSig_clicked: root.isNewList = false
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: g_resolution.getScaleLength(30)
        y: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(6)
        FQuorField {
            width: g_resolution.getScaleLength(220)
            height: g_resolution.getScaleLength(32)
            placeholderText: qsTr("Please enter search content")
        }
        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: g_resolution.getScaleLength(24)
            height: width
            source: "qrc:/common/newUI/share_find.png"
        }
    }
}
