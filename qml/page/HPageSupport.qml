import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/control"

// Support page: program and firmware versions with their update checks, the language switch, feedback, the
// automatic-update and usage-data switches, the maker's web page and the factory reset. The work is done by the
// program objects; the page reports the popups to open through mSender.
Item {
    id: root

    readonly property string mPanelColor: "#DEE9F1"
    readonly property string mRowColor: "#B9CBDA"
    readonly property string mTextColor: "#303344"
    // Answers count only for a check this page asked for.
    property bool mSoftwareAsked: false
    property bool mFirmwareAsked: false

    signal mSender(int buttonIndex)
    signal hideSubWindow()

    // The answer to this page's own version check; closeIndex marks the silent check at start, which the
    // window answers.
    function contrastSort(code, msg, version, path, closeIndex) {
        if (closeIndex || !mSoftwareAsked)
            return
        mSoftwareAsked = false
        h_loaddialog.stopLoading()
        if (code !== 0) {
            h_suspension.showTips(1, qsTr(msg))
            return
        }
        mSender(version === g_common.getAppVersion() ? 13 : 17)
    }

    function contrastFirm(code, msg, version, path) {
        if (!mFirmwareAsked)
            return
        mFirmwareAsked = false
        h_loaddialog.stopLoading()
        if (code !== 0) {
            h_suspension.showTips(1, qsTr(msg))
            return
        }
        mSender(version === g_image.deviceVersion ? 14 : 18)
    }

    function checkSoftware() {
        mSoftwareAsked = true
        h_loaddialog.startLoading(10000)
        h_httpDownload.getSoftwareVersion("ZephraLUMEN")
    }

    function checkFirmware() {
        if (!g_deviceCtl.checkSystemInfo())
            return
        mFirmwareAsked = true
        h_loaddialog.startLoading(10000)
        g_updater.getFirmVersion(g_image.deviceName)
    }

    function switchLanguage(language) {
        hideSubWindow()
        mLanguageSwitch.mChinese = language === "zh"
        g_uiManager.changeLanguage(language)
        g_appModel.setCurrentLanguage(language, true)
    }

    Connections {
        target: h_httpDownload
        function onSigReturnVersion(code, msg, version, path, closeIndex) {
            root.contrastSort(code, msg, version, path, closeIndex)
        }
    }
    Connections {
        target: g_updater
        function onSigReturnVersion(code, msg, version, path) {
            root.contrastFirm(code, msg, version, path)
        }
    }

    component SupportButton: HButton {
        mNormal: "#131625"
        mHoverColor: "#6195C2"
        mTextWidth: 150
        width: g_resolution.getScaleLength(150)
        height: g_resolution.getScaleLength(32)
    }

    component SupportCheck: FCheckBox {
        mColor: enabled ? "#00ffdb" : "#b3b3b3"
    }

    Rectangle {
        id: mPanel
        anchors.fill: parent
        anchors.margins: g_resolution.getScaleLength(20)
        radius: g_resolution.getScaleLength(8)
        color: root.mPanelColor

        Column {
            anchors.fill: parent
            anchors.margins: g_resolution.getScaleLength(16)
            spacing: g_resolution.getScaleLength(10)

            Rectangle {
                width: parent.width
                height: g_resolution.getScaleLength(48)
                radius: g_resolution.getScaleLength(6)
                color: root.mRowColor
                HText {
                    anchors.left: parent.left
                    anchors.leftMargin: g_resolution.getScaleLength(16)
                    anchors.verticalCenter: parent.verticalCenter
                    mTextName: qsTr("Drive version:") + " " + g_common.getAppVersion()
                    mTextColor: root.mTextColor
                }
                SupportButton {
                    objectName: "checkSoftware"
                    anchors.right: parent.right
                    anchors.rightMargin: g_resolution.getScaleLength(16)
                    anchors.verticalCenter: parent.verticalCenter
                    mTextName: qsTr("Check for updates")
                    onClicked: root.checkSoftware()
                }
            }

            Rectangle {
                width: parent.width
                height: g_resolution.getScaleLength(48)
                radius: g_resolution.getScaleLength(6)
                color: root.mRowColor
                HText {
                    objectName: "firmwareVersion"
                    anchors.left: parent.left
                    anchors.leftMargin: g_resolution.getScaleLength(16)
                    anchors.verticalCenter: parent.verticalCenter
                    mTextName: qsTr("Firmware version:") + " " + g_image.deviceVersion
                    mTextColor: root.mTextColor
                }
                SupportButton {
                    objectName: "checkFirmware"
                    anchors.right: parent.right
                    anchors.rightMargin: g_resolution.getScaleLength(16)
                    anchors.verticalCenter: parent.verticalCenter
                    visible: g_image.isWireLess
                    mTextName: qsTr("Check for updates")
                    onClicked: root.checkFirmware()
                }
            }

            Rectangle {
                width: parent.width
                height: g_resolution.getScaleLength(48)
                radius: g_resolution.getScaleLength(6)
                color: root.mRowColor
                HText {
                    anchors.left: parent.left
                    anchors.leftMargin: g_resolution.getScaleLength(16)
                    anchors.verticalCenter: parent.verticalCenter
                    mTextName: qsTr("Language switch")
                    mTextColor: root.mTextColor
                }
                // Two-position sliding switch: "EN" on the left, "中" on the right.
                Rectangle {
                    id: mLanguageSwitch
                    objectName: "languageSwitch"
                    property bool mChinese: g_appModel.language === "zh"
                    anchors.right: parent.right
                    anchors.rightMargin: g_resolution.getScaleLength(16)
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(96)
                    height: g_resolution.getScaleLength(30)
                    radius: height / 2
                    color: "#FFFFFF"

                    Rectangle {
                        id: mKnob
                        width: parent.width / 2
                        height: parent.height
                        radius: height / 2
                        color: "#695E4D"
                        x: mLanguageSwitch.mChinese ? parent.width / 2 : 0
                        Behavior on x { PropertyAnimation { duration: 150 } }
                    }
                    Repeater {
                        model: [{"label": "EN", "code": "en"}, {"label": "中", "code": "zh"}]
                        delegate: MouseArea {
                            objectName: "language_" + modelData.code
                            x: index * mLanguageSwitch.width / 2
                            width: mLanguageSwitch.width / 2
                            height: mLanguageSwitch.height
                            onClicked: root.switchLanguage(modelData.code)
                            Text {
                                anchors.centerIn: parent
                                text: modelData.label
                                color: (index === 1) === mLanguageSwitch.mChinese ? "#FFFFFF" : "#695E4D"
                                font.pixelSize: g_resolution.getScaleLength(13)
                            }
                        }
                    }
                }
            }

            Rectangle {
                width: parent.width
                height: g_resolution.getScaleLength(120)
                radius: g_resolution.getScaleLength(6)
                color: root.mRowColor
                ScrollView {
                    anchors.left: parent.left
                    anchors.top: parent.top
                    anchors.bottom: parent.bottom
                    anchors.right: mFeedbackButton.left
                    anchors.margins: g_resolution.getScaleLength(10)
                    background: Rectangle { color: "#25272d"; radius: g_resolution.getScaleLength(4) }
                    TextArea {
                        id: mFeedback
                        objectName: "feedback"
                        placeholderText: qsTr("We need your feedback: please describe the problem with you and your device in detail. Thank you!")
                        color: "#646775"
                        placeholderTextColor: "#646775"
                        wrapMode: TextEdit.WrapAnywhere
                        font.pixelSize: g_resolution.getScaleLength(13)
                    }
                }
                SupportButton {
                    id: mFeedbackButton
                    objectName: "sendFeedback"
                    anchors.right: parent.right
                    anchors.rightMargin: g_resolution.getScaleLength(16)
                    anchors.verticalCenter: parent.verticalCenter
                    mTextName: qsTr("Submit feedback")
                    onClicked: console.log("send feedback:", mFeedback.text)
                }
            }

            Rectangle {
                width: parent.width
                height: g_resolution.getScaleLength(76)
                radius: g_resolution.getScaleLength(6)
                color: root.mRowColor
                Column {
                    anchors.left: parent.left
                    anchors.leftMargin: g_resolution.getScaleLength(16)
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: g_resolution.getScaleLength(4)
                    SupportCheck {
                        objectName: "disableUpdate"
                        text: qsTr("Disable automatic update")
                        mIsSelected: g_appModel.disableUpdate
                        onToggled: g_appModel.setDisableUpdateState(checked, true)
                    }
                    SupportCheck {
                        objectName: "gaEnable"
                        text: qsTr("Send part usage data to help improve the software")
                        mIsSelected: g_appModel.gaEnable
                        onToggled: g_appModel.setGAEnable(checked, true)
                    }
                }
            }

            Rectangle {
                width: parent.width
                height: g_resolution.getScaleLength(48)
                radius: g_resolution.getScaleLength(6)
                color: root.mRowColor
                Row {
                    anchors.left: parent.left
                    anchors.leftMargin: g_resolution.getScaleLength(16)
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: g_resolution.getScaleLength(6)
                    Image {
                        anchors.verticalCenter: parent.verticalCenter
                        width: g_resolution.getScaleLength(4)
                        height: g_resolution.getScaleLength(16)
                        source: "qrc:/common/newUI/cpi_title_flag.png"
                    }
                    HText {
                        anchors.verticalCenter: parent.verticalCenter
                        mTextName: qsTr("Thank you for using veldt game equipment. If you need any information or help, you can visit our")
                        mTextColor: root.mTextColor
                    }
                    FTextUnderlineBtn {
                        anchors.verticalCenter: parent.verticalCenter
                        mText: qsTr("Official website")
                        onClicked: Qt.openUrlExternally(g_common.getQuorUrl())
                    }
                }
            }

            SupportButton {
                objectName: "restoreFactory"
                mTextWidth: 200
                width: g_resolution.getScaleLength(200)
                mTextName: qsTr("Restore factory settings")
                onClicked: root.mSender(15)
            }
        }
    }
}
