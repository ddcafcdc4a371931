import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"

// The event menu of the macro editor, opened on an event (mIndex) or on empty space (mIndex -1). "Add" unfolds
// the kinds of event to insert after the event: a key or mouse button (the editor waits for it), a delay or a
// pointer position. "Modify" hands the event to the editor to change, "Delete" removes it.
Popup {
    id: root

    property int mIndex: -1
    // The event is a press (a release gets no "Add" of its own key).
    property bool mIsDown: true
    // The child entries unfold to the right of the menu (to the left near the editor's right edge).
    property bool mIsRight: true
    property bool mIsShowChile: false
    // The last entry chosen inserts (true) or modifies (false).
    property bool mIsCreate: true
    property int mMouseType: g_image.deviceType

    signal coordfocus()
    // The editor waits for a key or mouse button to insert after row index (create) or to put in place of it.
    signal keyRequested(int index, bool create)
    signal modifyRequested(int index)

    function closeMenu() {
        mIsShowChile = false
        close()
    }

    onClosed: mIsShowChile = false

    width: g_resolution.getScaleLength(130)
    padding: g_resolution.getScaleLength(4)
    background: Rectangle {
        radius: g_resolution.getScaleLength(4)
        border.width: 1
        border.color: "#BAC2CA"
    }

    contentItem: Column {
        KQuorMacroMenuBtn {
            objectName: "menuAdd"
            width: parent.width
            mImg: "qrc:/common/newUI/Macro/menu_add.png"
            mText: qsTr("Add")
            onClicked: root.mIsShowChile = !root.mIsShowChile
        }
        Column {
            width: parent.width
            visible: root.mIsShowChile
            leftPadding: g_resolution.getScaleLength(12)
            KQuorMacroMenuBtn {
                objectName: "menuKey"
                width: parent.width - parent.leftPadding
                mImg: "qrc:/common/newUI/Macro/menu_btn.png"
                mText: qsTr("Key")
                onClicked: {
                    root.mIsCreate = true
                    var at = root.mIndex
                    root.closeMenu()
                    root.keyRequested(at, true)
                }
            }
            KQuorMacroMenuBtn {
                objectName: "menuDelay"
                width: parent.width - parent.leftPadding
                mImg: "qrc:/common/newUI/Macro/menu_delay.png"
                mText: qsTr("Delay")
                onClicked: {
                    root.mIsCreate = true
                    g_macroList.insertItemAt(2, 100, 0, false, root.mIndex < 0 ? -1 : root.mIndex + 1)
                    root.closeMenu()
                }
            }
            KQuorMacroMenuBtn {
                objectName: "menuCoord"
                width: parent.width - parent.leftPadding
                mImg: "qrc:/common/newUI/Macro/menu_coord.png"
                mText: qsTr("Coordinate")
                onClicked: {
                    root.mIsCreate = true
                    var inserted = g_macroList.insertItemAt(4, 0, 0, false, root.mIndex < 0 ? -1 : root.mIndex + 1)
                    root.closeMenu()
                    if (inserted)
                        root.coordfocus()
                }
            }
        }
        KQuorMacroMenuBtn {
            objectName: "menuModify"
            width: parent.width
            visible: root.mIndex >= 0
            mImg: "qrc:/common/newUI/Macro/menu_set.png"
            mText: qsTr("Modify")
            onClicked: {
                root.mIsCreate = false
                var at = root.mIndex
                root.closeMenu()
                root.modifyRequested(at)
            }
        }
        KQuorMacroMenuBtn {
            objectName: "menuDelete"
            width: parent.width
            visible: root.mIndex >= 0
            mImg: "qrc:/common/newUI/Macro/menu_del.png"
            mText: qsTr("Delete")
            onClicked: {
                var at = root.mIndex
                root.closeMenu()
                g_macroList.deleteItemAt(at)
            }
        }
    }
}
