import QtQuick 2.12
import QtQuick.Controls 2.12
import "qrc:/control"

// Navigation bar: nine page entries in one exclusive group, the maker's logo on top and the collapse and expand
// buttons below. A click on an entry reports its number through clicked; "Personal Center" while nobody is
// logged in asks the window for the log-in notice (mSender 9) instead.
Rectangle {
    id: mWindow

    property string backColor: "#303344"
    property string btnColor: "#ffffff"
    property int mRecord: 1
    property var mBtns: []
    property int flags: 0
    property bool mCollapsed: false

    readonly property bool mIsKeyboard: g_image.deviceType === 2
    readonly property var mEntries: [
        { "index": 1, "text": qsTr("Configuration setting"), "shown": true,
          "normal": "qrc:/common/newUI/sidebar_config_normal.png", "hover": "qrc:/common/newUI/sidebar_config_hover.png",
          "press": "qrc:common/newUI/sidebar_config_click.png" },
        { "index": 2, "text": qsTr("DPI setting"), "shown": g_image.deviceType === 1,
          "normal": "qrc:/common/newUI/sidebar_cpi_normal.png", "hover": "qrc:/common/newUI/sidebar_cpi_hover.png",
          "press": "qrc:/common/newUI/sidebar_cpi_press.png" },
        { "index": 3, "text": mIsKeyboard ? qsTr("Key setting") : qsTr("Parameter setting"), "shown": true,
          "normal": "qrc:/common/newUI/sidebar_parameter_normal.png",
          "hover": "qrc:/common/newUI/sidebar_parameter_hover.png",
          "press": "qrc:/common/newUI/sidebar_parameter_press.png" },
        { "index": 4, "text": qsTr("OLED setting"), "shown": g_image.hasOLED,
          "normal": "qrc:/common/newUI/sidebar_oled_normal.png", "hover": "qrc:/common/newUI/sidebar_oled_hover.png",
          "press": "qrc:/common/newUI/sidebar_oled_press.png" },
        { "index": 5, "text": qsTr("Light setting"), "shown": g_image.hasLight,
          "normal": "qrc:/common/newUI/sidebar_light_normal.png", "hover": "qrc:/common/newUI/sidebar_light_hover.png",
          "press": "qrc:/common/newUI/sidebar_light_press.png" },
        { "index": 6, "text": qsTr("Scheme sharing"), "shown": false,
          "normal": "qrc:/common/newUI/sidebar_scheme_normal.png", "hover": "qrc:/common/newUI/sidebar_scheme_hover.png",
          "press": "qrc:/common/newUI/sidebar_scheme_press.png" },
        { "index": 7, "text": qsTr("Macro editing"), "shown": true,
          "normal": "qrc:/common/newUI/sidebar_macro_normal.png", "hover": "qrc:/common/newUI/sidebar_macro_hover.png",
          "press": "qrc:/common/newUI/sidebar_macro_press.png" },
        { "index": 8, "text": qsTr("Support"), "shown": true,
          "normal": "qrc:/common/newUI/sidebar_support_normal.png",
          "hover": "qrc:/common/newUI/sidebar_support_hover.png",
          "press": "qrc:/common/newUI/sidebar_support_press.png" },
        { "index": 9, "text": qsTr("Personal Center"), "shown": true,
          "normal": "qrc:/common/newUI/sidebar_user_normal.png", "hover": "qrc:/common/newUI/sidebar_user_hover.png",
          "press": "qrc:/common/newUI/sidebar_user_press.png" }
    ]

    // The widest entry text in the current language decides the expanded width.
    readonly property int mTextWidth: {
        var widest = 0
        for (var i = 0; i < mEntries.length; ++i)
            widest = Math.max(widest, g_resolution.getStringWidth_Pixel(mEntries[i].text, g_resolution.getScaleLength(14)))
        return widest + g_resolution.getScaleLength(8)
    }
    readonly property int mCollapsedWidth: g_resolution.getScaleLength(62)
    readonly property int mExpandedWidth: Math.max(g_resolution.getScaleLength(180),
                                                   g_resolution.getScaleLength(62) + mTextWidth)

    signal changeParent()
    signal reParent()
    signal clicked(int buttonIndex)
    signal mSender(int buttonIndex)

    function showcheckBox(index) {
        for (var i = 0; i < mBtns.length; ++i)
            mBtns[i].checked = (Number(mBtns[i].objectName) === index)
        mRecord = index
    }

    function showSidebar() {
        mCollapsed = false
    }

    function hideSidebar() {
        mCollapsed = true
    }

    function entryClicked(entry) {
        if (entry.index === 9 && g_appModel.token === "") {
            // Keep the page shown checked: the log-in notice opens instead.
            showcheckBox(mRecord)
            mSender(9)
            return
        }
        mRecord = entry.index
        clicked(entry.index)
    }

    color: backColor
    width: mCollapsed ? mCollapsedWidth : mExpandedWidth

    Behavior on width {
        NumberAnimation { duration: 200 }
    }

    Image {
        id: logo
        anchors.horizontalCenter: parent.horizontalCenter
        y: g_resolution.getScaleLength(20)
        width: mWindow.mCollapsed ? g_resolution.getScaleLength(36) : g_resolution.getScaleLength(110)
        height: mWindow.mCollapsed ? g_resolution.getScaleLength(36) : g_resolution.getScaleLength(40)
        fillMode: Image.PreserveAspectFit
        source: "qrc:/common/newUI/veldt_logo_2.png"
    }

    ButtonGroup {
        id: group
        exclusive: true
    }

    Column {
        id: entries
        anchors.top: logo.bottom
        anchors.topMargin: g_resolution.getScaleLength(30)
        width: parent.width

        Repeater {
            model: mWindow.mEntries
            delegate: HSidebarCheckBox {
                id: entry
                objectName: String(modelData.index)
                width: entries.width
                visible: modelData.shown
                mText: modelData.text
                mImg: modelData.normal
                mImgHovered: modelData.hover
                mImgPressed: modelData.press
                mCollapsed: mWindow.mCollapsed
                mTextWidth: mWindow.mTextWidth / Math.max(1, g_resolution.getScaleLength(1))
                checked: modelData.index === mWindow.mRecord
                ButtonGroup.group: group
                onClicked: mWindow.entryClicked(modelData)
                Component.onCompleted: mWindow.mBtns.push(entry)

                HBtnTips {
                    x: parent.width + g_resolution.getScaleLength(4)
                    anchors.verticalCenter: parent.verticalCenter
                    visible: mWindow.mCollapsed && entry.hovered
                    mText: modelData.text
                }
            }
        }
    }

    Column {
        anchors.bottom: parent.bottom
        anchors.bottomMargin: g_resolution.getScaleLength(20)
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: g_resolution.getScaleLength(8)

        FImgBtn {
            id: toggle
            objectName: "sidebarToggle"
            anchors.horizontalCenter: parent.horizontalCenter
            width: g_resolution.getScaleLength(28)
            height: width
            mIsSelected: down
            mImg: mWindow.mCollapsed ? "qrc:/common/newUI/click_sidebar_normal.png"
                                     : "qrc:/common/newUI/packup_sidebar_normal.png"
            mImgSel: mWindow.mCollapsed ? "" : "qrc:/common/newUI/packup_sidebar_press.png"
            onClicked: mWindow.mCollapsed ? mWindow.showSidebar() : mWindow.hideSidebar()
        }
        Item {
            anchors.horizontalCenter: parent.horizontalCenter
            visible: toggle.hovered
            width: label.implicitWidth + g_resolution.getScaleLength(16)
            height: g_resolution.getScaleLength(24)
            Image {
                anchors.fill: parent
                source: "qrc:/common/newUI/label_sidebar.png"
            }
            Text {
                id: label
                anchors.centerIn: parent
                text: mWindow.mCollapsed ? qsTr("Click to expand the sidebar") : qsTr("Click to collapse the sidebar")
                color: "#303344"
                font.pixelSize: g_resolution.getScaleLength(11)
            }
        }
    }
}
