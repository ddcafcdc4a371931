import QtQuick 2.12
import QtQuick.Controls 2.12
import Model 1.0
import "qrc:/common"

// Earlier profile menu: the device's profiles (the list's first entry is the page's "add" card and is left
// out), the current one marked. Choosing one applies it as the profile page does and closes the menu.
Popup {
    id: root

    property string mConfigPath: ""
    property string mCurrentTitle: g_appModel.configPath.replace(/\.json$/i, "")

    signal selectdConfig(string configName)

    // The list read again from the profile folder before the menu shows.
    function showMenu() {
        h_configView.initFromFile(mConfigPath.replace(/^file:\/\/\//, "/"))
        open()
    }

    function applyConfig(name) {
        close()
        g_appModel.setMouseConfig(name + ".json", true)
        g_configFileController.readConfigData(mConfigPath + "/" + name + ".json")
        selectdConfig(name + ".json")
    }

    width: g_resolution.getScaleLength(180)
    height: Math.min(g_resolution.getScaleLength(260), mList.contentHeight + 2 * padding)
    padding: g_resolution.getScaleLength(2)
    background: Rectangle {
        color: "#F5F7FA"
        border.width: 1
        border.color: "#BAC2CA"
    }

    HConfigModel {
        id: mModel
        configView: h_configView
    }

    contentItem: ListView {
        id: mList
        clip: true
        model: mModel
        boundsBehavior: Flickable.StopAtBounds
        delegate: KQuorMacroFolderItem1 {
            objectName: "config_" + model.text
            visible: index > 0
            height: index > 0 ? g_resolution.getScaleLength(28) : 0
            mText: model.text
            mIsSelect: model.text === root.mCurrentTitle
            mBgColorSel: "#DEE9F1"
            mColorSel: "#6195C2"
            onClicked: root.applyConfig(model.text)
        }
    }
}
