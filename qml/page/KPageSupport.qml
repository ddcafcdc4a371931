import QtQuick 2.12
import "qrc:/common"

// Earlier support page: the program and firmware versions with their update checks, the language and the
// factory reset. A check answers through the window's popups, as on the later page: the request goes out as a
// button index and the answer arrives from the version services.
Item {
    id: root

    property bool mSoftwareAsked: false
    property bool mFirmwareAsked: false

    signal mSender(int buttonIndex)

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

    // Only the checks this page asked for are answered here; the silent check at start belongs to the window.
    Connections {
        target: h_httpDownload
        function onSigReturnVersion(code, msg, version, path, closeIndex) {
            if (closeIndex || !root.mSoftwareAsked)
                return
            root.mSoftwareAsked = false
            h_loaddialog.stopLoading()
            if (code !== 0)
                h_suspension.showTips(1, qsTr(msg))
            else
                root.mSender(version === g_common.getAppVersion() ? 13 : 17)
        }
    }
    Connections {
        target: g_updater
        function onSigReturnVersion(code, msg, version, path) {
            if (!root.mFirmwareAsked)
                return
            root.mFirmwareAsked = false
            h_loaddialog.stopLoading()
            if (code !== 0)
                h_suspension.showTips(1, qsTr(msg))
            else
                root.mSender(version === g_image.deviceVersion ? 14 : 18)
        }
    }

    Column {
        x: g_resolution.getScaleLength(40)
        y: g_resolution.getScaleLength(30)
        spacing: g_resolution.getScaleLength(16)

        Row {
            spacing: g_resolution.getScaleLength(12)
            KQuorText { anchors.verticalCenter: parent.verticalCenter; mText: qsTr("Drive version:") + " " + g_common.getAppVersion() }
            KQuorButton1 {
                objectName: "checkSoftware"
                width: g_resolution.getScaleLength(140)
                mText: qsTr("Check for updates")
                onClicked: root.checkSoftware()
            }
        }
        Row {
            spacing: g_resolution.getScaleLength(12)
            KQuorText { anchors.verticalCenter: parent.verticalCenter; mText: qsTr("Firmware version:") + " " + g_image.deviceVersion }
            KQuorButton1 {
                objectName: "checkFirmware"
                width: g_resolution.getScaleLength(140)
                mText: qsTr("Check for updates")
                onClicked: root.checkFirmware()
            }
        }
        Row {
            spacing: g_resolution.getScaleLength(12)
            KQuorText { anchors.verticalCenter: parent.verticalCenter; mText: qsTr("Language switch") }
            Repeater {
                model: [{"code": "en", "text": "EN"}, {"code": "zh", "text": "中"}]
                delegate: KSelectBtn {
                    objectName: "language_" + modelData.code
                    width: g_resolution.getScaleLength(90)
                    mText: modelData.text
                    mIsSelected: (g_appModel.language === "zh") === (modelData.code === "zh")
                    onSelected: {
                        g_uiManager.changeLanguage(modelData.code)
                        g_appModel.setCurrentLanguage(modelData.code, true)
                    }
                }
            }
        }
        KTxtBtn {
            objectName: "restoreSetting"
            mText: qsTr("Restore factory settings")
            mFontUnderLine: true
            mColorHovered: "#6195C2"
            onClicked: root.mSender(15)
        }
        KTxtBtn {
            objectName: "officialWebsite"
            mText: qsTr("Official website")
            mColor: "#6195C2"
            mFontUnderLine: true
            onClicked: Qt.openUrlExternally(g_common.getQuorUrl())
        }
    }
}
