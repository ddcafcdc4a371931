import QtQuick 2.12
import QtQuick.Controls 2.12
import Model 1.0
import "qrc:/common"
import "qrc:/widgets"

// The event list of the macro open on the macro page: key presses and releases with their arrow, mouse buttons
// with their picture, delays in seconds and pointer positions. Recording takes the keys pressed and the mouse
// buttons clicked on the list, with the time between them as delays. The event menu inserts, modifies and
// deletes single events; a key or button to insert or to put in place of another is taken from the next one the
// user presses on the list.
Item {
    id: root

    property string mCurrentFile: ""
    property bool mRecoding: false
    // When the last event was recorded (ms since the epoch).
    property double mCurrentDate: 0
    // Milliseconds since recording started, counted by the recording timer.
    property int mCounter: 0
    property int mMouseType: g_image.deviceType
    // The mouse button being pressed while recording (1 left, 2 middle, 3 right; 0 none).
    property int mWhichMouse: 0
    // What the next key or button is for: 0 nothing, 1 insert after hItemIndex, 2 put in place of hItemIndex.
    property int mFlag: 0
    property int hItemIndex: -1
    property string picUrl: g_appModel.language === "zh" ? "qrc:/common/newUI/Macro/macroedit_bg.png"
                                                         : "qrc:/common/newUI/Macro/macroedit_bg_en.png"

    signal sendCoordFocus()
    signal sendTimeFocus()
    signal sendKeyFocus()
    // Recording started (the page marks the macro changed) or stopped.
    signal startFocus()
    signal endFocus()
    signal sendCoordChange()
    signal sendTimeChange()
    signal sigfocusChange()
    // An event was inserted, changed or deleted by the user.
    signal macroValueChange()

    readonly property int kKey: 0
    readonly property int kMouse: 1
    readonly property int kDelay: 2
    readonly property int kPointer: 4
    readonly property int kMaxDelay: 99999

    function mouseType() {
        return mMouseType === 1
    }

    function changeBtn() {
        mRecord.mText = mRecoding ? qsTr("Stop recording") : qsTr("Start recording")
    }

    function closeItemMenu() {
        mMenu.closeMenu()
    }

    function initFromFile(path) {
        if (mRecoding)
            startRecoding()
        mFlag = 0
        mCurrentFile = path
        hItemIndex = -1
        g_macroList.initFromFile(path)
        h_macroType.initFromFile(path)
    }

    // Starts recording into an emptied list, or stops it.
    function startRecoding() {
        closeItemMenu()
        mFlag = 0
        if (mRecoding) {
            mRecoding = false
            mTimer.stop()
            mWhichMouse = 0
            changeBtn()
            endFocus()
            return
        }
        if (mCurrentFile === "")
            return
        g_macroList.clearItems()
        mCounter = 0
        mCurrentDate = Date.now()
        mRecoding = true
        mTimer.start()
        changeBtn()
        mCapture.forceActiveFocus()
        startFocus()
    }

    function recordDelay() {
        var now = Date.now()
        var elapsed = Math.min(kMaxDelay, Math.round(now - mCurrentDate))
        mCurrentDate = now
        if (elapsed > 0)
            inserDelayItem(elapsed, -1)
    }

    // An event the user made while recording; the list refusing it (the device's length reached) ends recording.
    function record(type, value1, value2, isUp) {
        recordDelay()
        var done = type === kKey ? inserKBItem(value1, value2, isUp, -1) : inserMSItem(value1, isUp, -1)
        if (!done)
            startRecoding()
    }

    function inserDelayItem(ms, index) {
        if (!g_macroList.insertItemAt(kDelay, ms, 0, false, index)) {
            console.log("inser delay item fail")
            return false
        }
        return true
    }

    function inserMSItem(button, isUp, index) {
        if (!g_macroList.insertItemAt(kMouse, button, 0, isUp, index)) {
            console.log("inser ms item fail")
            return false
        }
        return true
    }

    function changedMSItem(index, button, isUp) {
        if (!g_macroList.changedItemAt(index, kMouse, button, 0, isUp)) {
            console.log("changed ms item fail")
            return false
        }
        macroValueChange()
        return true
    }

    function inserKBItem(qtKey, scanCode, isUp, index) {
        if (!g_macroList.insertItemAt(kKey, qtKey, scanCode, isUp, index)) {
            console.log("inser kb item fail")
            return false
        }
        return true
    }

    function changedKBItem(index, qtKey, scanCode, isUp) {
        if (!g_macroList.changedItemAt(index, kKey, qtKey, scanCode, isUp)) {
            console.log("change kb item fail")
            return false
        }
        macroValueChange()
        return true
    }

    // seconds: the text of the delay field.
    function changedDelayItem(index, seconds) {
        var ms = Math.round(parseFloat(seconds) * 1000)
        if (isNaN(ms) || ms < 1 || ms > kMaxDelay || !g_macroList.changedItemAt(index, kDelay, ms, 0, false)) {
            console.log("change delay item fail")
            sendTimeChange()
            return false
        }
        sendTimeChange()
        macroValueChange()
        return true
    }

    function changedCoordItem(index, x, y) {
        var vx = parseInt(x, 10)
        var vy = parseInt(y, 10)
        if (isNaN(vx) || isNaN(vy) || !g_macroList.changedItemAt(index, kPointer, vx, vy, false)) {
            console.log("change coord item fail")
            sendCoordChange()
            return false
        }
        sendCoordChange()
        macroValueChange()
        return true
    }

    // The key or button the user pressed while the editor waits for one (mFlag): a press and its release are
    // inserted after hItemIndex, or the event at hItemIndex takes it (keeping press or release).
    function takeInput(type, value1, value2) {
        var flag = mFlag
        mFlag = 0
        if (flag === 1) {
            var at = hItemIndex < 0 ? -1 : hItemIndex + 1
            var pressed = type === kKey ? inserKBItem(value1, value2, false, at) : inserMSItem(value1, false, at)
            if (pressed) {
                var after = at < 0 ? -1 : at + 1
                if (type === kKey)
                    inserKBItem(value1, value2, true, after)
                else
                    inserMSItem(value1, true, after)
            }
        } else if (flag === 2) {
            var isUp = mList.itemAtIndex(hItemIndex) ? mList.itemAtIndex(hItemIndex).mIsUp : false
            if (type === kKey)
                changedKBItem(hItemIndex, value1, value2, isUp)
            else
                changedMSItem(hItemIndex, value1, isUp)
        }
    }

    function buttonOf(mouseButton) {
        if (mouseButton === Qt.LeftButton)
            return 1
        if (mouseButton === Qt.MiddleButton)
            return 2
        if (mouseButton === Qt.RightButton)
            return 3
        return 0
    }

    function modify(index) {
        hItemIndex = index
        var row = mList.itemAtIndex(index)
        if (!row)
            return
        if (row.mType === kKey || row.mType === kMouse) {
            mFlag = 2
            mCapture.forceActiveFocus()
            sendKeyFocus()
        } else if (row.mType === kDelay) {
            row.focusDelay()
            sendTimeFocus()
        } else if (row.mType === kPointer) {
            row.focusCoord()
            sendCoordFocus()
        }
    }

    function openMenu(index, item, mouse) {
        if (mRecoding || mCurrentFile === "")
            return
        hItemIndex = index
        mMenu.mIndex = index
        mMenu.mIsDown = index < 0 || !(mList.itemAtIndex(index) && mList.itemAtIndex(index).mIsUp)
        var p = item.mapToItem(root, mouse.x, mouse.y)
        mMenu.mIsRight = p.x + mMenu.width * 2 < root.width
        mMenu.x = Math.min(p.x, root.width - mMenu.width)
        mMenu.y = p.y
        mMenu.open()
    }

    Timer {
        id: mTimer
        interval: 100
        repeat: true
        onTriggered: root.mCounter += interval
    }

    Image {
        anchors.fill: parent
        source: root.picUrl
    }

    KMacroModel {
        id: mModel
        macroList: g_macroList
    }

    // Takes the keys while recording or while a key is awaited.
    FocusScope {
        id: mCapture
        objectName: "captureArea"
        anchors.fill: mList
        Keys.onPressed: {
            if (event.isAutoRepeat)
                return
            if (root.mRecoding) {
                root.record(root.kKey, event.key, g_keyModel.scanCodeOfNative(event.nativeScanCode), false)
                event.accepted = true
            } else if (root.mFlag !== 0) {
                root.takeInput(root.kKey, event.key, g_keyModel.scanCodeOfNative(event.nativeScanCode))
                event.accepted = true
            }
        }
        Keys.onReleased: {
            if (event.isAutoRepeat || !root.mRecoding)
                return
            root.record(root.kKey, event.key, g_keyModel.scanCodeOfNative(event.nativeScanCode), true)
            event.accepted = true
        }
    }

    ListView {
        id: mList
        objectName: "eventList"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: mRecord.top
        anchors.margins: g_resolution.getScaleLength(10)
        clip: true
        model: mModel
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        delegate: Rectangle {
            id: mRow
            property int mType: model.type
            property bool mIsUp: model.isUp
            property bool mSelected: index === root.hItemIndex

            function focusDelay() {
                mDelayField.forceActiveFocus()
                mDelayField.selectAll()
            }

            function focusCoord() {
                mXField.forceActiveFocus()
                mXField.selectAll()
            }

            objectName: "event" + index
            width: mList.width
            height: g_resolution.getScaleLength(32)
            color: mSelected ? "#DEE9F1" : "transparent"

            MouseArea {
                id: mRowArea
                anchors.fill: parent
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onClicked: {
                    if (mouse.button === Qt.RightButton)
                        root.openMenu(index, mRowArea, mouse)
                    else if (!root.mRecoding)
                        root.hItemIndex = index
                }
            }

            Row {
                anchors.left: parent.left
                anchors.leftMargin: g_resolution.getScaleLength(10)
                anchors.verticalCenter: parent.verticalCenter
                spacing: g_resolution.getScaleLength(8)

                Image {
                    visible: mRow.mType === root.kKey || mRow.mType === root.kMouse
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(16)
                    height: width
                    source: mRow.mIsUp ? (mRow.mSelected ? "qrc:/common/newUI/Macro/macro_up_sel.png"
                                                         : "qrc:/common/newUI/Macro/macro_up.png")
                                       : (mRow.mSelected ? "qrc:/common/newUI/Macro/macro_down_sel.png"
                                                         : "qrc:/common/newUI/Macro/macro_down.png")
                }
                Image {
                    visible: mRow.mType === root.kMouse
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(16)
                    height: width
                    source: model.value1 === 2 ? "qrc:/common/newUI/Macro/macro_middle_key.png"
                          : model.value1 === 3 ? "qrc:/common/newUI/Macro/macro_right_key.png"
                                               : "qrc:/common/newUI/Macro/macro_left_key.png"
                }
                Text {
                    objectName: "eventText"
                    visible: mRow.mType === root.kKey || mRow.mType === root.kMouse
                    anchors.verticalCenter: parent.verticalCenter
                    text: model.text
                    color: model.change ? "#6195C2" : "#303344"
                    font.pixelSize: g_resolution.getScaleLength(14)
                }

                // Delay, in seconds.
                TextField {
                    id: mDelayField
                    objectName: "delayField"
                    visible: mRow.mType === root.kDelay
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(90)
                    height: g_resolution.getScaleLength(26)
                    font.pixelSize: g_resolution.getScaleLength(13)
                    selectByMouse: true
                    text: visible ? String(model.value1 / 1000) : ""
                    validator: RegExpValidator { regExp: /^[0-9]{0,2}(\.[0-9]{0,3})?$/ }
                    // (Also called while the row goes with a list read again: then the row has no event.)
                    onEditingFinished: {
                        if (visible && model.value1 !== undefined && text !== String(model.value1 / 1000))
                            root.changedDelayItem(index, text)
                    }
                }
                Text {
                    visible: mRow.mType === root.kDelay
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("sec")
                    color: "#5B6270"
                    font.pixelSize: g_resolution.getScaleLength(13)
                }

                // Pointer position.
                Text {
                    visible: mRow.mType === root.kPointer
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("x:")
                    font.pixelSize: g_resolution.getScaleLength(13)
                }
                TextField {
                    id: mXField
                    objectName: "xField"
                    visible: mRow.mType === root.kPointer
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(70)
                    height: g_resolution.getScaleLength(26)
                    font.pixelSize: g_resolution.getScaleLength(13)
                    selectByMouse: true
                    text: visible ? String(model.value1) : ""
                    validator: IntValidator { bottom: 0; top: 65535 }
                    onEditingFinished: {
                        if (visible && model.value1 !== undefined && text !== String(model.value1))
                            root.changedCoordItem(index, text, mYField.text)
                    }
                }
                Text {
                    visible: mRow.mType === root.kPointer
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("y:")
                    font.pixelSize: g_resolution.getScaleLength(13)
                }
                TextField {
                    id: mYField
                    objectName: "yField"
                    visible: mRow.mType === root.kPointer
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(70)
                    height: g_resolution.getScaleLength(26)
                    font.pixelSize: g_resolution.getScaleLength(13)
                    selectByMouse: true
                    text: visible ? String(model.value2) : ""
                    validator: IntValidator { bottom: 0; top: 65535 }
                    onEditingFinished: {
                        if (visible && model.value1 !== undefined && text !== String(model.value2))
                            root.changedCoordItem(index, mXField.text, text)
                    }
                }
            }
        }
    }

    // Empty space of the list: the menu to add an event at the end.
    MouseArea {
        id: mListSpace
        objectName: "listSpace"
        anchors.left: mList.left
        anchors.right: mList.right
        anchors.bottom: mList.bottom
        height: Math.max(0, mList.height - mList.contentHeight)
        acceptedButtons: Qt.RightButton
        onClicked: root.openMenu(-1, mListSpace, mouse)
    }

    // While recording or while a button is awaited, the mouse buttons pressed on the list are taken.
    MouseArea {
        objectName: "buttonCapture"
        anchors.fill: mList
        enabled: root.mRecoding || root.mFlag !== 0
        acceptedButtons: Qt.LeftButton | Qt.MiddleButton | Qt.RightButton
        onPressed: {
            var button = root.buttonOf(mouse.button)
            if (button === 0)
                return
            if (root.mRecoding) {
                root.mWhichMouse = button
                root.record(root.kMouse, button, 0, false)
            } else {
                root.takeInput(root.kMouse, button, 0)
            }
        }
        onReleased: {
            var button = root.buttonOf(mouse.button)
            if (!root.mRecoding || button === 0)
                return
            root.mWhichMouse = 0
            root.record(root.kMouse, button, 0, true)
            mCapture.forceActiveFocus()
        }
    }

    KTxtBtn {
        id: mRecord
        objectName: "recordButton"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: g_resolution.getScaleLength(10)
        width: g_resolution.getScaleLength(160)
        height: g_resolution.getScaleLength(34)
        enabled: root.mCurrentFile !== ""
        mText: qsTr("Start recording")
        mColor: "#FFFFFF"
        mBgColor: root.mRecoding ? "#D9534F" : "#6195C2"
        mBgColorHovered: root.mRecoding ? "#C9302C" : "#4A7BA6"
        mRadius: 4
        onClicked: root.startRecoding()
    }

    FMacroMenu_new {
        id: mMenu
        objectName: "eventMenu"
        mMouseType: root.mMouseType
        onKeyRequested: {
            root.hItemIndex = index
            root.mFlag = 1
            mCapture.forceActiveFocus()
            root.sendKeyFocus()
        }
        onModifyRequested: root.modify(index)
        onCoordfocus: {
            var row = mList.itemAtIndex(root.hItemIndex < 0 ? mList.count - 1 : root.hItemIndex + 1)
            if (row)
                row.focusCoord()
            root.sendCoordFocus()
        }
        onClosed: root.sigfocusChange()
    }

    // Inserted and deleted events come from the user alone (reading a file resets the list).
    Connections {
        target: g_macroList
        function onPostItemInserted() { root.macroValueChange() }
        function onPostItemDeleted() { root.macroValueChange() }
    }
}
