import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/common"
import "qrc:/widgets"

// Earlier mouse settings panel: tabs for the DPI stages, the parameters and, on a mouse with a screen, the OLED.
Column {
    id: root

    // The tab shown: 0 DPI, 1 parameters, 2 OLED.
    property int mTab: 0
    readonly property var mTabs: g_image.hasOLED ? [qsTr("DPI setting"), qsTr("Parameter setting"), qsTr("OLED setting")]
                                                 : [qsTr("DPI setting"), qsTr("Parameter setting")]

    onMTabsChanged: {
        if (mTab >= mTabs.length)
            mTab = 0
    }

    spacing: g_resolution.getScaleLength(16)

    Row {
        spacing: g_resolution.getScaleLength(8)
        Repeater {
            model: root.mTabs
            delegate: KSelectBtn {
                objectName: "tab" + index
                width: g_resolution.getScaleLength(120)
                mText: modelData
                mIndex: index
                mIsSelected: root.mTab === index
                onSelected: root.mTab = index
            }
        }
    }
    KCPIList {
        objectName: "dpiList"
        width: g_resolution.getScaleLength(520)
        visible: root.mTab === 0
    }
    KParamSetting {
        objectName: "paramSetting"
        visible: root.mTab === 1
    }
    HMsOledPanel {
        objectName: "oledPanel"
        visible: root.mTab === 2
    }
}
