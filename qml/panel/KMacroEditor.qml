import QtQuick 2.12
import QtQuick.Controls 2.12
import Model 1.0
import "qrc:/common"
import "qrc:/widgets"

// Earlier macro editor: the events of the macro file mFilePath (keys with press or release, mouse buttons,
// delays in milliseconds, pointer positions). While recording, every key pressed or let go in the editor is
// added with the delay since the previous one. The right button on an event opens its menu; "Save" tidies the
// events and writes them into the file.
Item {
    id: root

    property string mFilePath: ""
    property bool mRecording: false
    property double mLastEventTime: 0
    property int mMenuIndex: -1

    function loadFile(path) {
        stopRecording()
        mFilePath = path
        g_macroList.initFromFile(path)
    }

    function startRecording() {
        if (mFilePath === "")
            return
        mRecording = true
        mLastEventTime = 0
        mRecordArea.forceActiveFocus()
    }

    function stopRecording() {
        mRecording = false
    }

    // A key event while recording: the delay since the last event first, then the key.
    function recordKey(event, isUp) {
        if (!mRecording || event.isAutoRepeat)
            return
        var now = Date.now()
        var delay = Math.min(99999, Math.round(now - mLastEventTime))
        if (mLastEventTime > 0 && delay > 0)
            g_macroList.insertItemAt(2, delay, 0, false, -1)
        mLastEventTime = now
        if (!g_macroList.insertItemAt(0, event.key, g_keyModel.scanCodeOfNative(event.nativeScanCode), isUp, -1))
            stopRecording()
    }

    function save() {
        stopRecording()
        if (mFilePath !== "")
            g_macroList.saveToFile(mFilePath)
    }

    // The text of one event as the list shows it.
    function eventText(type, isUp, value1, value2, text) {
        if (type === 2)
            return qsTr("Delay") + " " + value1 + " " + qsTr("ms")
        if (type === 4)
            return "(" + value1 + ", " + value2 + ")"
        return text + " " + (isUp ? qsTr("Release") : qsTr("Press"))
    }

    KMacroModel {
        id: mModel
        macroList: g_macroList
    }

    Row {
        id: mButtons
        spacing: g_resolution.getScaleLength(10)
        KQuorButton1 {
            objectName: "record"
            width: g_resolution.getScaleLength(120)
            enabled: root.mFilePath !== ""
            mText: root.mRecording ? qsTr("Stop recording") : qsTr("Start recording")
            mColor: root.mRecording ? "#E5484D" : "#6195C2"
            onClicked: root.mRecording ? root.stopRecording() : root.startRecording()
        }
        KQuorButton1 {
            objectName: "save"
            width: g_resolution.getScaleLength(120)
            enabled: root.mFilePath !== ""
            mText: qsTr("Save macro")
            onClicked: root.save()
        }
    }

    Rectangle {
        id: mRecordArea
        objectName: "events"
        anchors.top: mButtons.bottom
        anchors.topMargin: g_resolution.getScaleLength(10)
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        color: "#FFFFFF"
        border.width: 1
        border.color: root.mRecording ? "#E5484D" : "#BAC2CA"

        Keys.onPressed: {
            root.recordKey(event, false)
            event.accepted = root.mRecording
        }
        Keys.onReleased: {
            root.recordKey(event, true)
            event.accepted = root.mRecording
        }

        ListView {
            id: mList
            anchors.fill: parent
            anchors.margins: 1
            clip: true
            model: mModel
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}
            onCountChanged: positionViewAtEnd()

            delegate: Rectangle {
                objectName: "event" + index
                width: mList.width
                height: g_resolution.getScaleLength(26)
                color: index === root.mMenuIndex ? "#DEE9F1" : (index % 2 ? "#F5F7FA" : "#FFFFFF")
                KQuorText {
                    anchors.left: parent.left
                    anchors.leftMargin: g_resolution.getScaleLength(10)
                    anchors.verticalCenter: parent.verticalCenter
                    mFontSize: 12
                    mText: (index + 1) + ".  " + root.eventText(model.type, model.isUp, model.value1, model.value2,
                                                                model.text)
                }
                MouseArea {
                    anchors.fill: parent
                    acceptedButtons: Qt.RightButton
                    onClicked: {
                        root.mMenuIndex = index
                        mMenu.popup()
                    }
                }
            }
        }
    }

    KMacroMenu {
        id: mMenu
        onClickedInsertDelay: g_macroList.insertItemAt(2, 50, 0, false, root.mMenuIndex + 1)
        onClickedModify: {
            if (g_macroList.getItemType(root.mMenuIndex) === 2) {
                mDelayField.text = ""
                mDelayPopup.open()
            }
        }
        onClickDelete: g_macroList.deleteItemAt(root.mMenuIndex)
    }

    // A delay's new length, 1 to 99999 milliseconds.
    Popup {
        id: mDelayPopup
        anchors.centerIn: parent
        padding: g_resolution.getScaleLength(10)
        contentItem: Row {
            spacing: g_resolution.getScaleLength(8)
            KQuorField {
                id: mDelayField
                objectName: "delayField"
                width: g_resolution.getScaleLength(90)
                validator: IntValidator { bottom: 1; top: 99999 }
                onAccepted: {
                    if (acceptableInput)
                        g_macroList.changedItemAt(root.mMenuIndex, 2, parseInt(text, 10))
                    mDelayPopup.close()
                }
            }
            KQuorText {
                anchors.verticalCenter: parent.verticalCenter
                mText: qsTr("ms")
            }
        }
    }
}
