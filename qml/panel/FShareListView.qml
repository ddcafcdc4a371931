import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// Table of shared files: number, name, description, device, user, downloads, and a preview and a download
// button per row. mModel is a list of objects with the keys name, description, device, user and downloads;
// the buttons report the row.
Item {
    id: root

    property var mModel: []
    readonly property var mColumns: [
        {"title": qsTr("No."), "width": 50},
        {"title": qsTr("Name"), "width": 150},
        {"title": qsTr("Description"), "width": 220},
        {"title": qsTr("Device"), "width": 110},
        {"title": qsTr("User"), "width": 110},
        {"title": qsTr("Downloads"), "width": 80},
        {"title": qsTr("Preview"), "width": 80},
        {"title": qsTr("Download"), "width": 80}
    ]

    signal preview(int index)
    signal download(int index)

    // The text of one cell; the last two columns hold buttons.
    function cellText(row, column) {
        var entry = mModel[row]
        switch (column) {
        case 0: return String(row + 1)
        case 1: return entry.name || ""
        case 2: return entry.description || ""
        case 3: return entry.device || ""
        case 4: return entry.user || ""
        case 5: return String(entry.downloads || 0)
        }
        return ""
    }

    Row {
        id: mHeader
        Repeater {
            model: root.mColumns
            delegate: Rectangle {
                width: g_resolution.getScaleLength(modelData.width)
                height: g_resolution.getScaleLength(32)
                color: "#EEF2F6"
                Text {
                    anchors.centerIn: parent
                    text: modelData.title
                    color: "#303344"
                    font.bold: true
                    font.pixelSize: g_resolution.getScaleLength(13)
                }
            }
        }
    }

    ListView {
        id: mList
        objectName: "shareList"
        anchors.top: mHeader.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        model: root.mModel.length
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        delegate: Row {
            id: mRowItem
            readonly property int mRow: index
            objectName: "share" + index
            Repeater {
                model: root.mColumns
                delegate: Rectangle {
                    width: g_resolution.getScaleLength(modelData.width)
                    height: g_resolution.getScaleLength(34)
                    color: mRowItem.mRow % 2 ? "#F5F7FA" : "#FFFFFF"
                    Text {
                        visible: index < 6
                        anchors.fill: parent
                        anchors.leftMargin: g_resolution.getScaleLength(6)
                        anchors.rightMargin: g_resolution.getScaleLength(6)
                        text: index < 6 ? root.cellText(mRowItem.mRow, index) : ""
                        color: "#303344"
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                        font.pixelSize: g_resolution.getScaleLength(12)
                    }
                    KTxtBtn {
                        visible: index >= 6
                        anchors.centerIn: parent
                        mText: modelData.title
                        mFontSize: 12
                        mColor: "#6195C2"
                        mFontUnderLine: true
                        onClicked: index === 6 ? root.preview(mRowItem.mRow) : root.download(mRowItem.mRow)
                    }
                }
            }
        }
    }
}
