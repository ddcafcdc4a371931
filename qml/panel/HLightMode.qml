import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// The effect list of the lighting page: the effect names of the lighting model with a scroll bar; a left click
// makes an entry current and reports it (selectModel). The RGB keyboard also gets its light direction and
// monochromatic switches.
Item {
    id: root

    property bool mShowSwitches: false
    property alias mCurrentIndex: mLightModeList_en.currentIndex

    signal selectModel(int index)

    ListView {
        id: mLightModeList_en
        objectName: "lightModeList"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: mSwitches.visible ? mSwitches.top : parent.bottom
        anchors.bottomMargin: mSwitches.visible ? g_resolution.getScaleLength(8) : 0
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: g_lightModel.logo ? g_lightModel.logo.modelStrList : []
        currentIndex: -1
        Component.onCompleted: currentIndex = g_lightModel.logo ? g_lightModel.logo.model : -1
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

        delegate: Rectangle {
            readonly property bool mCurrent: ListView.isCurrentItem
            objectName: "effect" + index
            width: mLightModeList_en.width
            height: g_resolution.getScaleLength(34)
            radius: g_resolution.getScaleLength(4)
            color: mCurrent ? "#6195C2" : (mArea.containsMouse ? "#DEE9F1" : "transparent")

            Text {
                anchors.left: parent.left
                anchors.leftMargin: g_resolution.getScaleLength(12)
                anchors.verticalCenter: parent.verticalCenter
                // The layout's name, in the language shown now.
                text: qsTr(String(modelData))
                color: parent.mCurrent ? "#FFFFFF" : "#303344"
                font.pixelSize: g_resolution.getScaleLength(14)
            }
            MouseArea {
                id: mArea
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton
                onClicked: {
                    mLightModeList_en.currentIndex = index
                    root.selectModel(index)
                }
            }
        }
    }

    // The current entry follows the effect the lighting model holds (also after a refused or failed write).
    Connections {
        target: g_lightModel.logo
        function onModelChanged() { mLightModeList_en.currentIndex = g_lightModel.logo.model }
        function onModelStrListChanged() { mLightModeList_en.currentIndex = g_lightModel.logo.model }
    }

    Column {
        id: mSwitches
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        visible: root.mShowSwitches
        spacing: g_resolution.getScaleLength(6)

        Repeater {
            model: 2

            Column {
                width: mSwitches.width
                spacing: g_resolution.getScaleLength(2)
                readonly property bool mOn: g_lightModel.logo
                                            ? (index === 0 ? g_lightModel.logo.lightDirection
                                                           : g_lightModel.logo.lightMonochromatic)
                                            : false
                FCheckBoxKeySet {
                    objectName: index === 0 ? "lightDirection" : "monochromatic"
                    text: index === 0 ? qsTr("Light direction") : qsTr("Monochromatic mode")
                    mChecked: parent.mOn
                    onToggled: {
                        if (index === 0)
                            g_lightModel.logo.writeLightDirection(checked)
                        else
                            g_lightModel.logo.writeLightMonochromatic(checked)
                    }
                }
                Text {
                    width: parent.width
                    wrapMode: Text.WordWrap
                    text: index === 0
                          ? qsTr("Turn it on in wave mode to change the direction of light, and the default direction is to the left")
                          : qsTr("Turn on monochrome mode to customize the light color, and the default mode is mixed color mode")
                    color: "#7A8290"
                    font.pixelSize: g_resolution.getScaleLength(11)
                }
            }
        }
    }
}
