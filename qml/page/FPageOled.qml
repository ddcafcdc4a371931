import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Dialogs 1.3
import Model 1.0
import "qrc:/common"
import "qrc:/control"

// OLED page: a picture editor at the screen's resolution (text, brush, imported picture, undo, clear, save to
// a file), the text's font and size, the screen's brightness and background, "Save changes" that uploads the
// picture to the mouse, and the screen's display modes.
Item {
    id: root

    property string mfont: f_oledModel.fontFamily !== "" ? f_oledModel.fontFamily : Qt.application.font.family
    property string pictureUrl: ""
    property color backgroundColor: "#000000"
    property int cout: 0
    // Display modes as the mouse numbers them; 8 is the user's own picture.
    readonly property var mModes: [
        {"text": qsTr("DPI display"), "mode": 0},
        {"text": qsTr("APM display"), "mode": 1},
        {"text": qsTr("Mode display"), "mode": 2},
        {"text": qsTr("Return rate"), "mode": 3},
        {"text": qsTr("Mobile mileage"), "mode": 4},
        {"text": qsTr("Display brightness value"), "mode": 5},
        {"text": qsTr("Custom text/image"), "mode": 8},
        {"text": qsTr("Trun off OLED"), "mode": 9}
    ]
    property int mTestMode: f_oledModel.oledMode

    // While text is entered the size field takes no other value than the one the text was begun with.
    function limitChangeFont() {
        mSizeField.enabled = false
    }
    function recoverChangeFont() {
        mSizeField.enabled = true
    }

    function selectTool(tool) {
        cout = tool
        mPaintView.setPaintState(tool === 1)
        if (tool === 0)
            limitChangeFont()
        else
            recoverChangeFont()
    }

    function setFontSize(size) {
        f_oledModel.setFontSize(size)
        mSizeField.mValue = f_oledModel.fontSize
    }

    Connections {
        target: g_image
        function onDeviceNameChanged() { mPaintView.deviceChanged() }
    }

    // The picture goes to the file the mouse uploads, then to the mouse.
    function saveToMouse() {
        if (!mPaintView.savePicture("")) {
            console.log("[Error] the OLED picture could not be saved")
            return
        }
        f_oledModel.setPictureToMouse()
    }

    // Each tool's pictures: normal, pressed ("_click") and chosen ("_select").
    readonly property var mToolPictures: ({
        "textBtn": ["qrc:/common/newUI/textBtn.png", "qrc:/common/newUI/textBtn_click.png",
                    "qrc:/common/newUI/textBtn_select.png"],
        "paintBtn": ["qrc:/common/newUI/paintBtn.png", "qrc:/common/newUI/paintBtn_click.png",
                     "qrc:/common/newUI/paintBtn_select.png"],
        "picBtn": ["qrc:/common/newUI/picBtn.png", "qrc:/common/newUI/picBtn_click.png",
                   "qrc:/common/newUI/picBtn_select.png"],
        "returnBtn": ["qrc:/common/newUI/returnBtn.png", "qrc:/common/newUI/returnBtn_click.png",
                      "qrc:/common/newUI/returnBtn_select.png"],
        "clearBtn": ["qrc:/common/newUI/clearBtn.png", "qrc:/common/newUI/clearBtn_click.png",
                     "qrc:/common/newUI/clearBtn_select.png"],
        "saveBtn": ["qrc:/common/newUI/saveBtn.png", "qrc:/common/newUI/saveBtn_click.png",
                    "qrc:/common/newUI/saveBtn_select.png"]
    })

    component ToolButton: FImgBtn {
        property string mName: ""
        width: g_resolution.getScaleLength(36)
        height: width
        mImg: root.mToolPictures[mName][0]
        mImgHovered: root.mToolPictures[mName][1]
        mImgSel: root.mToolPictures[mName][2]
    }

    component ModeButton: KTxtBtn {
        height: g_resolution.getScaleLength(30)
        mRadius: 4
        mBgColor: "#FFFFFF"
        mBgColorSel: "#6195C2"
        mColorSel: "#FFFFFF"
        mColorHovered: "#6195C2"
    }

    Row {
        x: g_resolution.getScaleLength(30)
        y: g_resolution.getScaleLength(20)
        spacing: g_resolution.getScaleLength(30)

        Column {
            spacing: g_resolution.getScaleLength(10)
            Row {
                spacing: g_resolution.getScaleLength(6)
                ToolButton { objectName: "textTool"; mName: "textBtn"; mIsSelected: root.cout === 0; onClicked: root.selectTool(0) }
                ToolButton { objectName: "brushTool"; mName: "paintBtn"; mIsSelected: root.cout === 1; onClicked: root.selectTool(1) }
                ToolButton { objectName: "pictureTool"; mName: "picBtn"; mIsSelected: root.cout === 2; onClicked: { root.selectTool(2); mOpenDialog.open() } }
                ToolButton { objectName: "undo"; mName: "returnBtn"; onClicked: mPaintView.undo() }
                ToolButton { objectName: "clear"; mName: "clearBtn"; onClicked: mPaintView.clear() }
                ToolButton { objectName: "saveFile"; mName: "saveBtn"; onClicked: mSaveDialog.open() }
            }
            Row {
                spacing: g_resolution.getScaleLength(6)
                HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("Enter text") }
                FQuorField {
                    id: mTextField
                    objectName: "oledText"
                    width: g_resolution.getScaleLength(160)
                    text: "Veldt"
                    onActiveFocusChanged: activeFocus ? root.limitChangeFont() : root.recoverChangeFont()
                    onTextEdited: mPaintView.textInput(text)
                }
                HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("Brush tool"); visible: root.cout === 1 }
                HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("Import image"); visible: root.cout === 2 }
            }
            Item {
                width: mPaintView.width + g_resolution.getScaleLength(16)
                height: mPaintView.height + g_resolution.getScaleLength(16)
                Image {
                    anchors.fill: parent
                    source: "qrc:/common/newUI/oled_paintBack.png"
                }
                Rectangle {
                    anchors.centerIn: parent
                    width: mPaintView.width
                    height: mPaintView.height
                    color: root.backgroundColor
                }
                // The editor takes the attached screen's size and scale.
                FPaintView {
                    id: mPaintView
                    objectName: "paintView"
                    anchors.centerIn: parent
                    width: oledWidth
                    height: oledHight
                    // The editor draws on the background shown behind it: bright ink on black, dark on white, as
                    // the screen will light it.
                    fillColor: root.backgroundColor
                    Component.onCompleted: deviceChanged()
                }
            }
            Row {
                spacing: g_resolution.getScaleLength(8)
                HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("Font") }
                FFontSelector {
                    id: mFontSelector
                    objectName: "font"
                    Component.onCompleted: currentIndex = Math.max(0, find(root.mfont))
                    onActivated: f_oledModel.setFontFamily(currentText)
                }
                HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("Size") }
                FNumField {
                    id: mSizeField
                    objectName: "fontSize"
                    anchors.verticalCenter: parent.verticalCenter
                    mValue: f_oledModel.fontSize
                    onAddBtnClicked: root.setFontSize(mValue + 1)
                    onReduceBtnClicked: root.setFontSize(mValue - 1)
                    onInputValue: root.setFontSize(value)
                }
            }
            Row {
                spacing: g_resolution.getScaleLength(8)
                HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("Low") }
                Slider {
                    objectName: "oledLight"
                    width: g_resolution.getScaleLength(200)
                    from: 0
                    to: 100
                    stepSize: 1
                    value: f_oledModel.oledLight
                    onPressedChanged: {
                        if (!pressed)
                            f_oledModel.setOledLight(Math.round(value))
                    }
                }
                HText { anchors.verticalCenter: parent.verticalCenter; mTextName: qsTr("Hight") }
            }
            Row {
                spacing: g_resolution.getScaleLength(10)
                HButton {
                    objectName: "switchBackground"
                    width: g_resolution.getScaleLength(200)
                    height: g_resolution.getScaleLength(32)
                    mTextName: qsTr("Switch over the background color")
                    onClicked: root.backgroundColor = Qt.colorEqual(root.backgroundColor, "#000000") ? "#FFFFFF" : "#000000"
                }
                HButton {
                    objectName: "saveChanges"
                    width: g_resolution.getScaleLength(140)
                    height: g_resolution.getScaleLength(32)
                    mTextName: qsTr("Save changes")
                    onClicked: root.saveToMouse()
                }
            }
        }

        Column {
            spacing: g_resolution.getScaleLength(10)
            HText { mTextName: qsTr("Display settings"); mFontBold: true; mFontSize: 15 }
            HText { mTextName: qsTr("OLED display") }
            Grid {
                columns: 2
                spacing: g_resolution.getScaleLength(8)
                Repeater {
                    model: root.mModes
                    delegate: ModeButton {
                        objectName: "oledMode" + modelData.mode
                        width: g_resolution.getScaleLength(150)
                        mText: modelData.text
                        mIsSelect: root.mTestMode === modelData.mode
                        onClicked: {
                            root.mTestMode = modelData.mode
                            f_oledModel.changeMode(modelData.mode)
                        }
                    }
                }
            }
            HButton {
                objectName: "testDisplay"
                width: g_resolution.getScaleLength(200)
                height: g_resolution.getScaleLength(32)
                mTextName: qsTr("Click to test display")
                onClicked: f_oledModel.changeMode(root.mTestMode)
            }
            Row {
                spacing: g_resolution.getScaleLength(10)
                HButton { width: g_resolution.getScaleLength(95); height: g_resolution.getScaleLength(30); mTextName: qsTr("Share") }
                HButton { width: g_resolution.getScaleLength(95); height: g_resolution.getScaleLength(30); mTextName: qsTr("Popular recommendations") }
            }
        }
    }

    FileDialog {
        id: mOpenDialog
        title: qsTr("Select file")
        nameFilters: ["Images (*.png *.jpg *.bmp)"]
        onAccepted: {
            root.pictureUrl = fileUrl
            mPaintView.openPicture(fileUrl)
        }
    }
    FileDialog {
        id: mSaveDialog
        title: qsTr("Save Dialog")
        selectExisting: false
        nameFilters: ["BMP (*.bmp)"]
        onAccepted: mPaintView.savePicture(fileUrl)
    }
}
