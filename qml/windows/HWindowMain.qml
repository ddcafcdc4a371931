import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Window 2.12
import "qrc:/common"
import "qrc:/control"
import "qrc:/page"
import "qrc:/popup"

// The main window: a frameless window holding the title bar, the navigation bar, the user label, the pages and the
// popups. A page or popup is made the first time it is shown or reached (page(n), popup(n), rectangle(n)), then
// kept: from then on it is switched by visibility, never destroyed. What the start page needs is made at start: the
// title bar, the device card, the device picker and the dialogs the program opens by its own signals.
Window {
    id: mWindow

    property point mClickPos: "0,0"
    property int mRecord: 1
    property var mPages: []
    property var mPopups: []
    property var mRectangles: []
    // The numbers that hold a popup, whether it was made yet or not.
    readonly property var mPopupNumbers: Object.keys(mPopupMakers).map(Number).concat([24]).sort(function(a, b) {
        return a - b
    })
    readonly property var mPopupMakers: ({
        1: mLoginMaker, 2: mRegisterMaker, 6: mResetSuccessMaker, 7: mRegisterSuccessMaker, 8: mNotReceivedMaker,
        9: mPleaseLoginMaker, 10: mLogoutMaker, 11: mUploadConfigMaker, 12: mDownloadConfigMaker,
        13: mCheckSoftwareMaker, 14: mCheckFirmwareMaker, 15: mRestoreSettingMaker, 16: mModifyPasswordMaker,
        17: mVersionUpdateMaker, 18: mFirmwareUpdateMaker, 20: mAwakenFailMaker, 21: mWarningMaker,
        23: mPairngSuccessMaker, 25: mAddConfigMaker, 26: mEditConfigMaker, 27: mDeleteConfigMaker,
        28: mRestoreConfigMaker
    })
    readonly property var mRectangleMakers: ({ 3: mPairingInterfaceMaker, 4: mForpasswordMaker })
    // What was made on demand so far, by object name: the pages of both kinds of device stay once made.
    property var mMade: ({})
    property Component mOledPageMaker: null
    property bool mDevCard: false
    property bool mShowTips: true
    property int mDevHeight: g_resolution.getScaleLength(38)
    property int mCounter: 6
    property bool mSubWindowShown: false

    // The screen's available area: the window is placed and dragged within it.
    readonly property rect mArea: g_uiManager.availableArea()
    readonly property int mMinX: mArea.width > 0 ? mArea.x : 0
    readonly property int mMinY: mArea.height > 0 ? mArea.y : 0
    readonly property int mMaxX: Math.max(mMinX, (mArea.width > 0 ? mArea.x + mArea.width
                                                                   : Screen.desktopAvailableWidth) - width)
    readonly property int mMaxY: Math.max(mMinY, (mArea.height > 0 ? mArea.y + mArea.height
                                                                    : Screen.desktopAvailableHeight) - height)

    flags: Qt.FramelessWindowHint | Qt.WindowMinimizeButtonHint | Qt.Window
    visible: true
    width: g_resolution.getScaleLength(1200)
    height: g_resolution.getScaleLength(760)
    title: qsTr("Corvane")
    color: "#EEF2F6"

    // Shows page n from program logic, with its navigation entry checked.
    function updatewindow(n) {
        showPage(n)
        mNavigationBar.showcheckBox(n)
    }

    function initWindow() {
        mNavigationBar.state = "changeParent"
        subWindow.raise()
        mNavigationBar.showSidebar()
    }

    function showWindow() {
        requestActivate()
        show()
    }

    function hideWindow() {
        visibility = Window.Hidden
    }

    function minimumWindow() {
        visibility = Window.Minimized
    }

    function showRectangle(n) {
        for (var i = 0; i < mRectangles.length; ++i) {
            if (mRectangles[i])
                mRectangles[i].visible = false
        }
        var shown = rectangle(n)
        if (shown)
            shown.visible = true
    }

    // The object made from maker under parentObject (with the given initial properties, if any), made the first
    // time it is asked for under that name.
    function made(name, maker, parentObject, properties) {
        var object = mMade[name]
        if (object)
            return object
        object = maker.createObject(parentObject, properties || {})
        if (!object) {
            console.log("[Error] could not make", name, maker.errorString())
            return null
        }
        var all = mMade
        all[name] = object
        mMade = all
        return object
    }

    // The document of page n for the kind of device shown (3 and 5 differ between mouse and keyboard).
    function pageMaker(n) {
        var keyboard = mDeviceContent.mShownType === 2
        switch (n) {
        case 1: return ["page1", mPageConfigMaker]
        case 2: return ["page2", mPageCpiMaker]
        case 3: return keyboard ? ["pageKbSetting", mPageKbSettingMaker] : ["pageParameter", mPageParameterMaker]
        case 4: return ["page4", oledPageMaker()]
        case 5: return keyboard ? ["pageKbLight", mPageKbLightMaker] : ["pageLight", mPageLightMaker]
        case 6: return ["page6", mPageShareMaker]
        case 7: return ["page7", mPageMacroMaker]
        case 8: return ["page8", mPageSupportMaker]
        case 9: return ["page9", mPageUserMaker]
        }
        return null
    }

    // The OLED page's document brings the file dialogs and their plugins with it: it is read only when the page is
    // first made, not with the window.
    function oledPageMaker() {
        if (!mOledPageMaker)
            mOledPageMaker = Qt.createComponent("qrc:/page/FPageOled.qml")
        return mOledPageMaker
    }

    // Page n, made now if it was not yet; null for a number without a page.
    function page(n) {
        if (!mPages[n]) {
            var maker = pageMaker(n)
            if (!maker)
                return null
            var properties = n === 4 ? { "objectName": "page4", "visible": false } : undefined
            var object = made(maker[0], maker[1], mDeviceContent, properties)
            if (object) {
                if (n === 4)
                    object.anchors.fill = mDeviceContent
                registerPage(n, object)
            }
        }
        return mPages[n] || null
    }

    // Popup n, made now if it was not yet; null for a number without a popup.
    function popup(n) {
        if (!mPopups[n] && mPopupMakers[n]) {
            var object = made("popup" + n, mPopupMakers[n], mWindow)
            if (object)
                registerPopup(n, object)
        }
        return mPopups[n] || null
    }

    // The full-window panel n (3: pairing, 4: forgotten password), made now if it was not yet.
    function rectangle(n) {
        if (!mRectangles[n] && mRectangleMakers[n]) {
            var object = made("rectangle" + n, mRectangleMakers[n], mRectangleLayer)
            if (object)
                registerRectangle(n, object)
        }
        return mRectangles[n] || null
    }

    // The dialogs of the firmware and the program's download, made when first opened.
    function firmwareRestore() {
        return made("firmwareRestore", mFirmwareRestoreMaker, mWindow)
    }
    function firmwareSuccess() {
        return made("firmwareSuccess", mFirmwareSuccessMaker, mWindow)
    }
    function progressBar() {
        return made("progressBar", mProgressBarMaker, mWindow)
    }

    // The device card is large on the device's own page (DPI or keys) and small elsewhere.
    function setDeviceCard(index) {
        var large = (index === 2 && g_image.deviceType === 1) || (index === 3 && g_image.deviceType === 2)
        mDevCard = large
        mShowTips = large
        mDevHeight = g_resolution.getScaleLength(large ? 84 : 38)
    }

    function showPage(buttonIndex) {
        for (var i = 0; i < mPages.length; ++i) {
            if (mPages[i])
                mPages[i].visible = false
        }
        var shown = page(buttonIndex)
        if (shown)
            shown.visible = true
        setDeviceCard(buttonIndex)
    }

    // Opens popup n alone; numbers without a popup open nothing.
    function mGeter(n) {
        for (var i = 0; i < mPopups.length; ++i) {
            if (mPopups[i] && mPopups[i].visible) {
                console.log("[Info] close popup", i)
                mPopups[i].close()
            }
        }
        var shown = popup(n)
        if (!shown) {
            console.log("[Info] no popup", n)
            return
        }
        subWindow.showSubWindowMask()
        shown.open()
    }

    function initSubWindow() {
        initSubWin.repeat = true
        initSubWin.start()
    }

    function registerPage(index, page) {
        var pages = mPages
        pages[index] = page
        mPages = pages
    }

    function registerPopup(index, popup) {
        var popups = mPopups
        popups[index] = popup
        mPopups = popups
        popup.closed.connect(hideSubWindowMaskWhenIdle)
    }

    // The navigation bar's mask stays only while some numbered popup is open.
    function hideSubWindowMaskWhenIdle() {
        // A popup closed while the window goes away finds its list gone: there is no mask left to hide.
        if (!mPopups)
            return
        for (var i = 0; i < mPopups.length; ++i) {
            if (mPopups[i] && mPopups[i].visible)
                return
        }
        subWindow.hideSubWindowMask()
    }

    function registerRectangle(index, rectangle) {
        var rectangles = mRectangles
        rectangles[index] = rectangle
        mRectangles = rectangles
    }

    function showMask(state) {
        if (state) {
            mMask.open()
            subWindow.showSubWindowMask()
        } else {
            mMask.close()
            subWindow.hideSubWindowMask()
        }
    }

    function startPageOfDevice() {
        updatewindow(g_image.deviceType === 1 ? 2 : 3)
    }

    onClosing: {
        close.accepted = true
        // Without a notification area the window could not be brought back: it is minimised instead.
        if (g_uiManager.trayAvailable) {
            hideWindow()
        } else {
            close.accepted = false
            minimumWindow()
        }
    }

    Connections {
        target: g_uiManager
        function onSetWindowStatus(status) {
            if (status) {
                mWindow.show()
                mWindow.raise()
                mWindow.requestActivate()
            } else {
                mWindow.hide()
            }
        }
    }

    Image {
        anchors.fill: parent
        source: "qrc:/common/newUI/background_main.png"
    }

    MouseArea {
        id: mTopMoveBar
        x: mNavigationBar.width
        width: parent.width - x - g_resolution.getScaleLength(90)
        height: g_resolution.getScaleLength(40)
        acceptedButtons: Qt.LeftButton
        onPressed: mWindow.mClickPos = Qt.point(mouse.x, mouse.y)
        onPositionChanged: {
            var dx = mouse.x - mWindow.mClickPos.x
            var dy = mouse.y - mWindow.mClickPos.y
            mWindow.setX(Math.max(mWindow.mMinX, Math.min(mWindow.mMaxX, mWindow.x + dx)))
            mWindow.setY(Math.max(mWindow.mMinY, Math.min(mWindow.mMaxY, mWindow.y + dy)))
        }
    }

    MouseArea {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        width: g_resolution.getScaleLength(12)
        height: width
        acceptedButtons: Qt.LeftButton
    }

    // The navigation layer comes a few ticks after start, once the window is seen: while the window is hidden or
    // minimised the timer waits for it to show instead of polling.
    Timer {
        id: initSubWin
        interval: 20
        repeat: true
        triggeredOnStart: true
        onTriggered: {
            if (mWindow.mCounter > 0)
                --mWindow.mCounter
            if (mWindow.visibility === Window.Hidden || mWindow.visibility === Window.Minimized) {
                if (mWindow.mCounter <= 0)
                    stop()
                return
            }
            if (mWindow.mCounter > 0)
                return
            stop()
            mWindow.mSubWindowShown = true
            subWindow.visible = true
            mWindow.initWindow()
        }
    }
    onVisibilityChanged: {
        if (!mSubWindowShown && !initSubWin.running && visibility !== Window.Hidden
                && visibility !== Window.Minimized)
            initSubWin.start()
    }

    // The layer of the navigation bar, with its own mask while a dialog is open.
    Item {
        id: subWindow

        property bool mLoadState: false

        function hideSubWindow() {
            mNavigationBar.hideSidebar()
        }

        function showSubWindowMask() {
            mSubWindowMask.visible = true
        }

        function hideSubWindowMask() {
            mSubWindowMask.visible = false
        }

        function raise() {
            z = 2
        }

        visible: false
        width: mNavigationBar.width
        height: parent.height

        Item {
            id: subWindowItem
            anchors.fill: parent
        }
        Rectangle {
            id: mSubWindowMask
            anchors.fill: parent
            visible: false
            color: "black"
            opacity: 0.7
            z: 1
            MouseArea {
                anchors.fill: parent
            }
        }
    }

    Item {
        id: mItem
        width: parent.width
        height: parent.height
    }

    HNavigationBar {
        id: mNavigationBar
        objectName: "navigationBar"
        parent: mItem
        height: mWindow.height
        states: [
            State { name: "changeParent"; ParentChange { target: mNavigationBar; parent: subWindowItem; x: 0; y: 0 } },
            State { name: "reParent"; ParentChange { target: mNavigationBar; parent: mItem; x: 0; y: 0 } }
        ]
        transitions: Transition {
            ParentAnimation {
                NumberAnimation { properties: "x,y"; duration: 6000; easing.type: Easing.InBack }
            }
        }
        onClicked: {
            mWindow.mRecord = mNavigationBar.mRecord
            mWindow.showPage(buttonIndex)
        }
        onChangeParent: state = "changeParent"
        onReParent: state = "reParent"
        onMSender: mWindow.mGeter(buttonIndex)
    }

    Item {
        id: mContentArea
        anchors.left: parent.left
        anchors.leftMargin: mNavigationBar.width
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom

        FTitleBar {
            id: mLabelRoutine
            objectName: "titleBar"
            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            onMMinBtnClick: mWindow.minimumWindow()
            onMCloseBtnClick: mWindow.close()

            // Device card: the kind of device and its name. The large card lies below the title bar on the
            // device's own page, which keeps that corner free; the small one sits in the title bar beside the
            // window buttons, out of the page area.
            Rectangle {
                id: mDeviceTypeCard
                objectName: "deviceCard"
                visible: mWindow.mDevCard
                anchors.right: parent.right
                anchors.rightMargin: g_resolution.getScaleLength(mWindow.mDevCard ? 20 : 90)
                y: mWindow.mDevCard ? parent.height + g_resolution.getScaleLength(10) : (parent.height - height) / 2
                width: g_resolution.getScaleLength(200)
                height: mWindow.mDevCard ? mWindow.mDevHeight
                                         : Math.min(mWindow.mDevHeight, g_resolution.getScaleLength(32))
                color: "transparent"
                border.color: "#BAC2CA"
                radius: g_resolution.getScaleLength(6)

                Image {
                    // Let go at once when the picture changes: a picture left in the cache keeps a timer
                    // waking the idle window until it expires.
                    cache: false
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    anchors.margins: g_resolution.getScaleLength(6)
                    width: g_resolution.getScaleLength(60)
                    height: g_resolution.getScaleLength(30)
                    fillMode: Image.PreserveAspectFit
                    source: g_image.deviceType === 2 ? "qrc:/common/newUI/keyboardLogo.png"
                                                     : "qrc:/common/newUI/mouseLogo.png"
                }
            }
            Rectangle {
                id: mDeviceTypeCard2
                anchors.fill: mDeviceTypeCard
                visible: !mWindow.mDevCard
                color: "#DEE9F1"
                radius: g_resolution.getScaleLength(6)
            }
            Row {
                anchors.left: mDeviceTypeCard.left
                anchors.leftMargin: g_resolution.getScaleLength(10)
                anchors.top: mDeviceTypeCard.top
                anchors.topMargin: (Math.min(mDeviceTypeCard.height, g_resolution.getScaleLength(38)) - height) / 2
                spacing: g_resolution.getScaleLength(8)
                width: mDeviceTypeCard.width - g_resolution.getScaleLength(20)

                Image {
                    id: mDeviceTypeImage
                    // Let go at once when the picture changes: a picture left in the cache keeps a timer
                    // waking the idle window until it expires.
                    cache: false
                    anchors.verticalCenter: parent.verticalCenter
                    width: g_resolution.getScaleLength(20)
                    height: width
                    source: g_image.deviceType === 2
                            ? (g_image.isWireLess ? "qrc:/common/newUI/deviceType_kb_wireless.png"
                                                  : "qrc:/common/newUI/deviceType_kb.png")
                            : (g_image.isWireLess ? "qrc:/common/newUI/deviceType_wireless.png"
                                                  : "qrc:/common/newUI/deviceType_wired.png")
                }
                Text {
                    id: mDeviceTypeText
                    objectName: "deviceName"
                    property int mPixelSize: g_resolution.getScaleLength(14)

                    // The name without its link and variant endings; shrinks while wider than the card.
                    function mTextchanged() {
                        var name = g_image.deviceName
                        var endings = ["_Wireless", "_LOW", "_HIGH", "_Hollis"]
                        for (var i = 0; i < endings.length; ++i)
                            name = name.replace(endings[i], "")
                        text = name
                        mPixelSize = g_resolution.getScaleLength(14)
                        var room = width > 0 ? width : g_resolution.getScaleLength(150)
                        while (mPixelSize > g_resolution.getScaleLength(8)
                               && g_resolution.getStringWidth_Pixel(text, mPixelSize) > room * 2)
                            --mPixelSize
                    }

                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width - mDeviceTypeImage.width - parent.spacing
                    font.bold: true
                    font.pixelSize: mPixelSize
                    color: "#303344"
                    wrapMode: Text.WrapAnywhere
                    maximumLineCount: 2
                    Component.onCompleted: mTextchanged()
                }
            }
        }

        FUserlabel {
            id: mLabelUser
            objectName: "userLabel"
            anchors.left: parent.left
            anchors.leftMargin: g_resolution.getScaleLength(24)
            anchors.top: parent.top
            width: g_resolution.getScaleLength(600)
            z: 3
            onOpenSelectEquipment: {
                mMask.open()
                subWindow.showSubWindowMask()
                mSelectEquipment.visible = true
            }
            onSetOtherConfigMenu: mWindow.page(1).setCurrentConfig(configName, index)
        }

        Item {
            id: mDeviceContent
            objectName: "pageArea"
            anchors.fill: parent
            anchors.topMargin: mLabelRoutine.height + g_resolution.getScaleLength(10)
            visible: g_deviceCtl.online

            property int mShownType: 0

            // The device model announces its type on every reading of the device; only a new type moves the
            // user back to the start page.
            function startShowPage() {
                var type = g_image.deviceType
                if ((type !== 1 && type !== 2) || type === mShownType)
                    return
                mShownType = type
                for (var i = 0; i < mWindow.mPages.length; ++i) {
                    if (mWindow.mPages[i])
                        mWindow.mPages[i].visible = false
                }
                // Pages 3 and 5 are the device kind's own: those made before for this kind come back.
                var keyboard = type === 2
                mWindow.registerPage(3, mWindow.mMade[keyboard ? "pageKbSetting" : "pageParameter"] || null)
                mWindow.registerPage(5, mWindow.mMade[keyboard ? "pageKbLight" : "pageLight"] || null)
                mWindow.mRecord = type === 1 ? 2 : 3
                mWindow.startPageOfDevice()
            }

            // The pages, each made the first time it is shown (see page(n)).
            Component {
                id: mPageConfigMaker
                HPageConfig {
                    id: mPageConfig
                    objectName: "page1"
                    property string mCurrentConfig: ""
                    anchors.fill: parent
                    visible: false
                    color: "transparent"
                    onSelectedConfig: mCurrentConfig = configName
                    onShowConfig: {
                        mLabelUser.setCurrentConfig(configName, mPageConfig.mConfigIndex)
                        mPageConfig.setCurrentConfig(configName, mPageConfig.mConfigIndex)
                    }
                    onShowEditName: mWindow.popup(26).mName = configName
                    onMSender: mWindow.mGeter(buttonIndex)
                }
            }
            Component {
                id: mPageCpiMaker
                HPageCpi {
                    objectName: "page2"
                    anchors.fill: parent
                    visible: false
                    onMDialogVisable: mWindow.showMask(state)
                }
            }
            Component {
                id: mPageParameterMaker
                HPageParameter {
                    objectName: "pageParameter"
                    anchors.fill: parent
                    visible: false
                    onMDialogVisable: mWindow.showMask(state)
                }
            }
            Component {
                id: mPageKbSettingMaker
                FPageKbSetting {
                    objectName: "pageKbSetting"
                    anchors.fill: parent
                    visible: false
                    onMDialogVisable: mWindow.showMask(state)
                }
            }
            Component {
                id: mPageLightMaker
                HPageLight {
                    objectName: "pageLight"
                    anchors.fill: parent
                    visible: false
                }
            }
            Component {
                id: mPageKbLightMaker
                FPageKbLight {
                    objectName: "pageKbLight"
                    anchors.fill: parent
                    visible: false
                    onMDialogVisable: mWindow.showMask(state)
                }
            }
            Component {
                id: mPageShareMaker
                FPageShare {
                    objectName: "page6"
                    anchors.fill: parent
                    visible: false
                }
            }
            Component {
                id: mPageMacroMaker
                FPageMacro {
                    objectName: "page7"
                    anchors.fill: parent
                    visible: false
                }
            }
            Component {
                id: mPageSupportMaker
                HPageSupport {
                    objectName: "page8"
                    anchors.fill: parent
                    visible: false
                    onHideSubWindow: {
                        subWindow.hideSubWindow()
                        mLabelUser.mIsSelect = false
                    }
                    onMSender: mWindow.mGeter(buttonIndex)
                }
            }
            Component {
                id: mPageUserMaker
                HPageUser {
                    objectName: "page9"
                    anchors.fill: parent
                    visible: false
                    onChangeHeadportrait: mLabelUser.changeHeadportrait(headportrait)
                    onMSender: mWindow.mGeter(buttonIndex)
                }
            }
        }
    }

    // The device asks for a firmware update before its popup was made: the popup is made to offer it, and
    // answers the device itself from then on.
    Connections {
        target: g_deviceCtl
        enabled: !mWindow.mPopups[18]
        function onNeedUpdateFirmware() {
            mWindow.popup(18).showUpdateFirmware()
        }
    }

    // A profile list changed elsewhere (a download, a name the device reset) before the profile page was made: the
    // page is made to follow it, as it does itself from then on.
    Connections {
        target: h_configView
        enabled: !mWindow.mPages[1]
        function onGetItemIndexAgain() {
            mWindow.page(1).getItemIndexAgain()
        }
    }

    // The numbered popups, each made the first time it is opened (see popup(n)).
    Component {
        id: mLoginMaker
        HLogin_new {
            id: mLogin
            objectName: "login"
            onSigLoginSuccessful: mWindow.updatewindow(9)
            onMRectangle: {
                mLogin.close()
                mWindow.showRectangle(index)
            }
            onMClosing: mNavigationBar.showcheckBox(mWindow.mRecord)
            onMSender: mWindow.mGeter(buttonIndex)
        }
    }
    Component {
        id: mRegisterMaker
        FRegister_new {
            onMClosing: mNavigationBar.showcheckBox(mWindow.mRecord)
            onMSender: mWindow.mGeter(buttonIndex)
        }
    }
    Component {
        id: mResetSuccessMaker
        FResetSuccess_new {
            onMSender: {
                if (mWindow.mRectangles[4])
                    mWindow.mRectangles[4].visible = false
                g_configCommon.clearUserInfo()
                mWindow.startPageOfDevice()
                mWindow.mGeter(1)
            }
        }
    }
    Component {
        id: mRegisterSuccessMaker
        FRegisterSuccess_new {}
    }
    Component {
        id: mNotReceivedMaker
        FNotReceived_new {}
    }
    Component {
        id: mPleaseLoginMaker
        FPleaseLogin {
            objectName: "pleaseLogin"
            onMClosing: mNavigationBar.showcheckBox(mWindow.mRecord)
            onMSender: mWindow.mGeter(buttonIndex)
        }
    }
    Component {
        id: mLogoutMaker
        FLogout_new {
            objectName: "logout"
            onSigLogoutSuccess: mWindow.startPageOfDevice()
        }
    }
    Component {
        id: mUploadConfigMaker
        FUploadConfig_new {}
    }
    Component {
        id: mDownloadConfigMaker
        FDownloadConfig_new {
            onMSender: mWindow.mGeter(buttonIndex)
            onDownloaded: mWindow.page(1).downLoadConfig()
        }
    }
    Component {
        id: mCheckSoftwareMaker
        HCheckSoftware_new {
            onMSender: mWindow.mGeter(buttonIndex)
        }
    }
    Component {
        id: mCheckFirmwareMaker
        HCheckFirmware_new {
            onMSender: mWindow.mGeter(buttonIndex)
        }
    }
    Component {
        id: mRestoreSettingMaker
        HRestoreSetting_new {
            onMSender: mWindow.mGeter(buttonIndex)
        }
    }
    Component {
        id: mModifyPasswordMaker
        HModifyPassword {
            onMSender: mWindow.mGeter(buttonIndex)
            onSiglogout: mWindow.startPageOfDevice()
        }
    }
    Component {
        id: mVersionUpdateMaker
        HVersionUpdate_new {
            // 1: the download started, its progress is shown; 0: closed.
            onMSender: {
                mWindow.mGeter(0)
                if (buttonIndex === 1)
                    mWindow.progressBar().open()
            }
        }
    }
    Component {
        id: mFirmwareUpdateMaker
        HFirmwareUpdate_new {
            onMSender: {
                var restore = mWindow.firmwareRestore()
                restore.mImg = g_uiManager.mouseMap()[g_image.deviceName] || ""
                restore.open()
            }
        }
    }
    Component {
        id: mAwakenFailMaker
        FAwakenFail {
            onMSender: {
                if (mWindow.mPopups[21])
                    mWindow.mPopups[21].hideWarning()
                mWindow.showRectangle(buttonIndex)
            }
            onMPopUp: mWindow.mGeter(buttonIndex)
        }
    }
    Component {
        id: mPairngSuccessMaker
        FPairngSuccess_new {
            onMSender: {
                if (mWindow.mRectangles[3])
                    mWindow.mRectangles[3].visible = false
                g_deviceCtl.slot_reloadMouse()
            }
        }
    }
    Component {
        id: mAddConfigMaker
        HAddConfig {
            // The current device's folder of profiles.
            property string mConfigPath: g_common.getMSConfigFolderPath() + "/" + g_image.deviceName
            onCreateConfig: {
                if (g_configFileController.createConfig(mConfigPath, text))
                    h_configView.savePicture(pic.replace(/^qrc/, ""), mConfigPath + "/", text)
                mWindow.page(1).initFromFile()
            }
        }
    }
    Component {
        id: mEditConfigMaker
        HEditConfig {
            onChangeDele: mWindow.page(1).changeDele(text, pic)
        }
    }
    Component {
        id: mDeleteConfigMaker
        HDeleteConfig {
            onDeleteConfig: mWindow.page(1).deleteConfig()
        }
    }
    Component {
        id: mRestoreConfigMaker
        HRestoreConfig {
            onHRestoreConfig: mWindow.page(1).restoreConfig()
        }
    }
    Component {
        id: mWarningMaker
        FAwakenMosue {
            objectName: "awakenMouse"
            onMSender: mWindow.mGeter(buttonIndex)
        }
    }

    // The two full-window panels, made the first time they are shown (see rectangle(n)); they lie here, below the
    // panel of a missing device.
    Item {
        id: mRectangleLayer
        anchors.fill: parent
    }
    Component {
        id: mForpasswordMaker
        FForpassword_new {
            anchors.fill: parent
            visible: false
            onMSender: mWindow.mGeter(Index)
        }
    }
    Component {
        id: mPairingInterfaceMaker
        FPairingInterface_new {
            anchors.fill: parent
            visible: false
            onMSender: mWindow.mGeter(index)
        }
    }
    HMask {
        id: mMask
        Component.onCompleted: mWindow.registerPopup(24, mMask)
    }
    FSelectMouseConfig_new {
        id: mSelectMouseConfig
        onMSender: {
            mMask.open()
            subWindow.showSubWindowMask()
            mSelectMouseConfig.open()
        }
        onClosed: {
            mMask.close()
            subWindow.hideSubWindowMask()
        }
    }
    Popup {
        id: mSelectEquipmentMask
        z: -1
        background: Rectangle {
            color: "black"
            opacity: 0.5
        }
    }
    HSelectEquipment {
        id: mSelectEquipment
        objectName: "selectEquipment"
        onShowSelectEquipment: {
            if (status) {
                mMask.open()
                subWindow.showSubWindowMask()
                mSelectEquipment.visible = true
            } else {
                // The mask goes with the picker, or it would keep every click from the pages.
                mMask.close()
            }
            // The other device stays within reach while more than one is connected.
            mLabelUser.showMChangeEquipment(status || h_equipmentList.getItemSize() > 1)
        }
        Connections {
            target: h_equipmentList
            function onPostResetItems() { mSelectEquipment.followDeviceCount() }
            function onPostItemDeleted() { mSelectEquipment.followDeviceCount() }
        }
        // A device that went may leave one: the switch button goes with the choice.
        function followDeviceCount() {
            if (h_equipmentList.getItemSize() <= 1)
                mLabelUser.hideMChangeEquipment()
        }
    }

    Hsuspension_new {
        id: mSuspension
        objectName: "suspension"
        z: 1
        anchors.horizontalCenter: parent.horizontalCenter
        y: g_resolution.getScaleLength(60)

        HText {
            id: mMessage
            anchors.verticalCenter: parent.verticalCenter
            mTextName: mSuspension.mText
            mTextColor: "#11131D"
        }
    }
    HLoadDialog_new {
        id: mLoadDialog
        background: Item {}
    }
    FEquipmentTesting_new {
        id: mEquipmentTesting
        objectName: "equipmentTesting"
        anchors.fill: parent
        anchors.leftMargin: mNavigationBar.width
        anchors.topMargin: mLabelRoutine.height
        visible: !g_deviceCtl.online
        color: "transparent"
        onMSender: {
            if (flags === 0)
                Qt.quit()
            else
                mWindow.firmwareRestore().open()
        }
    }
    Component {
        id: mFirmwareRestoreMaker
        FFirmwareRestore {
            objectName: "firmwareRestore"
            onMSender: {
                if (buttonIndex === 19)
                    mWindow.firmwareSuccess().open()
            }
        }
    }
    HSystemNotice {
        id: mSystemNotice
        objectName: "systemNotice"
    }
    Component {
        id: mFirmwareSuccessMaker
        FFirmwareSuccess {
            objectName: "firmwareSuccess"
        }
    }
    Component {
        id: mProgressBarMaker
        HProgressBar_new {
            objectName: "progressBar"
        }
    }

    // The answer to the version check at start (closeIndex true): a newer version is offered, anything else
    // stays silent.
    Connections {
        target: typeof h_httpDownload !== "undefined" ? h_httpDownload : null
        function onSigReturnVersion(code, msg, version, path, closeIndex) {
            if (!closeIndex)
                return
            h_loaddialog.stopLoading()
            if (code === 0 && version !== "" && version !== g_common.getAppVersion())
                mWindow.mGeter(17)
        }
    }

    Connections {
        target: g_image
        function onDeviceTypeChanged() {
            mDeviceContent.startShowPage()
        }
        function onDeviceNameChanged() {
            mDeviceTypeText.mTextchanged()
        }
    }

    Component.onCompleted: {
        h_suspension.sigShowTips.connect(mSuspension.mShowTips)
        h_suspension.sigCloseTips.connect(mSuspension.mCloseTips)
        h_loaddialog.sigStartLoading.connect(mLoadDialog.startLoading)
        h_loaddialog.sigStopLoading.connect(mLoadDialog.stopLoading)
        h_warningdialog.sig_startWarning.connect(function() { mWindow.popup(21).showWarning() })
        h_warningdialog.sig_stopWarning.connect(function() {
            if (mWindow.mPopups[21])
                mWindow.mPopups[21].hideWarning()
        })
        g_deviceCtl.sig_showMChangeEquipment.connect(mLabelUser.showMChangeEquipment)

        // Centred in the available area, and never beyond its top left corner.
        setX(Math.max(mMinX, Math.round((mMinX + mMaxX) / 2)))
        setY(Math.max(mMinY, Math.round((mMinY + mMaxY) / 2)))
        mDeviceContent.startShowPage()
        initSubWindow()

        // The version check at start is silent: only its answer opens the update popups.
        if (!g_appModel.disableUpdate && typeof h_httpDownload !== "undefined") {
            h_loaddialog.startLoading(10000)
            h_httpDownload.getSoftwareVersion("ZephraLUMEN-Start", true)
        }
    }
}
