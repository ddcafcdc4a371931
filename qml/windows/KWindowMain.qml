import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Window 2.12
import "qrc:/common"
import "qrc:/control"
import "qrc:/page"
import "qrc:/popup"

// The earlier main window: a top bar (user, battery), a top navigation bar over five pages (start page,
// lighting, macros, personal page, support), a bottom bar (profile title, restore) and the earlier popups. The
// program starts the main window instead and never loads this one; it is kept whole so that it still runs.
//
// The top bar asks for the log-in (loginClicked) or the personal page (userClicked), the navigation bar for a
// page by its index from 0 (selectPage), the bottom bar for the factory reset (restoreClicked), and a page for a
// popup by its number (mSender, the table at mGeter); the floating tip follows the tips object itself. The pages
// are made by name once their documents are built.
Window {
    id: mWindow

    property point mClickPos: "0,0"
    property int mRecord: 1
    property var mPages: []
    property var mPopups: []

    readonly property int mMaxX: Screen.desktopAvailableWidth - width
    readonly property int mMaxY: Screen.desktopAvailableHeight - height
    readonly property int mPersonalPage: 5

    flags: Qt.FramelessWindowHint | Qt.WindowMinimizeButtonHint | Qt.Window
    visible: true
    width: g_resolution.getScaleLength(1100)
    height: g_resolution.getScaleLength(720)
    title: qsTr("Corvane")
    color: "#24262B"

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

    function showPage(buttonIndex) {
        if (!mPages[buttonIndex])
            return
        mRecord = buttonIndex
        for (var i = 0; i < mPages.length; ++i) {
            if (mPages[i])
                mPages[i].visible = i === buttonIndex
        }
        mNavigationBar.mCurrentIndex = buttonIndex - 1
    }

    // Opens popup n alone:
    //   1 log-in, 2 registration, 3 forgotten password, 4 code entry, 5 new password, 6 password reset,
    //   7 registered, 8 mail not received, 9 please log in, 10 log-out, 11 cloud upload, 12 cloud download,
    //   13 program is current, 14 firmware is current, 15 factory reset, 16 password changed, 17 program update,
    //   18 firmware too old, 19 firmware restoration, 20 waking failed, 21 wake the mouse, 22 pairing guide,
    //   23 paired, 24 pairing, 25 pairing failed, 26 profile mismatch, 27 model confirmation, 28 download progress.
    function mGeter(n) {
        for (var i = 0; i < mPopups.length; ++i) {
            if (mPopups[i] && mPopups[i].visible)
                mPopups[i].close()
        }
        if (mPopups[n])
            mPopups[n].open()
        else
            console.log("[Info] no popup", n)
    }

    function registerPopup(index, popup) {
        var popups = mPopups
        popups[index] = popup
        mPopups = popups
    }

    function registerPage(index, page) {
        var pages = mPages
        pages[index] = page
        mPages = pages
        page.visible = index === mRecord
    }

    // The signed-out state: the start page again.
    function signedOut() {
        showPage(1)
    }

    onClosing: {
        close.accepted = true
        hideWindow()
    }

    Component.onCompleted: {
        registerPopup(1, mLogin)
        registerPopup(2, mRegister)
        registerPopup(3, mForgetPassword)
        registerPopup(4, mChecking)
        registerPopup(5, mResetPassword)
        registerPopup(6, mResetSuccess)
        registerPopup(7, mRegisterSuccess)
        registerPopup(8, mNotReceived)
        registerPopup(9, mPleaseLogin)
        registerPopup(10, mLogout)
        registerPopup(11, mUploadConfig)
        registerPopup(12, mDownloadConfig)
        registerPopup(13, mCheckSoftware)
        registerPopup(14, mCheckFirmware)
        registerPopup(15, mRestoreSetting)
        registerPopup(16, mModifyPassword)
        registerPopup(17, mVersionUpdate)
        registerPopup(18, mFirmwareUpdate)
        registerPopup(19, mFirmwareRestore)
        registerPopup(20, mWarningTips)
        registerPopup(21, mWarning)
        registerPopup(22, mPairingInterface)
        registerPopup(23, mPairingSuccess)
        registerPopup(24, mPairingInterface2)
        registerPopup(25, mPairingError)
        registerPopup(26, mSelectMouseConfig)
        registerPopup(27, mFirmwareConfiration)
        registerPopup(28, mProgressBar)
        setX((Screen.width - width) / 2)
        setY((Screen.height - height) / 2)
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
    Connections {
        target: h_loaddialog
        function onSigStartLoading() { mLoadDialog.startLoading() }
        function onSigStopLoading() { mLoadDialog.stopLoading() }
    }
    Connections {
        target: h_warningdialog
        function onSig_startWarning() { mWarning.showWarning() }
        function onSig_stopWarning() { mWarning.hideWarning() }
    }

    // --- bars and pages -----------------------------------------------------------------------------------

    KWidgetTop {
        id: mTopBar
        anchors.left: parent.left
        anchors.right: parent.right
        height: g_resolution.getScaleLength(60)
        onLoginClicked: mWindow.mGeter(1)
        onUserClicked: mWindow.showPage(mWindow.mPersonalPage)
    }

    MouseArea {
        id: mTopMoveBar
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.rightMargin: g_resolution.getScaleLength(90)
        height: g_resolution.getScaleLength(12)
        acceptedButtons: Qt.LeftButton
        onPressed: mWindow.mClickPos = Qt.point(mouse.x, mouse.y)
        onPositionChanged: {
            var dx = mouse.x - mWindow.mClickPos.x
            var dy = mouse.y - mWindow.mClickPos.y
            mWindow.setX(Math.max(0, Math.min(mWindow.mMaxX, mWindow.x + dx)))
            mWindow.setY(Math.max(0, Math.min(mWindow.mMaxY, mWindow.y + dy)))
        }
    }

    KNavigationBar {
        id: mNavigationBar
        anchors.top: mTopBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        height: g_resolution.getScaleLength(50)
        onSelectPage: mWindow.showPage(index + 1)
    }

    Item {
        id: mDeviceContent
        objectName: "deviceContent"
        anchors.top: mNavigationBar.bottom
        anchors.bottom: mBottomBar.top
        anchors.left: parent.left
        anchors.right: parent.right
        visible: g_deviceCtl.online

        // The pages, in the navigation bar's order: page n is entry n - 1.
        KPageIndex {
            objectName: "part_KPageIndex"
            anchors.fill: parent
            Component.onCompleted: mWindow.registerPage(1, this)
        }
        KPageLight {
            objectName: "part_KPageLight"
            anchors.fill: parent
            Component.onCompleted: mWindow.registerPage(2, this)
        }
        KPageMacro {
            objectName: "part_KPageMacro"
            anchors.fill: parent
            Component.onCompleted: mWindow.registerPage(3, this)
        }
        KPageSupport {
            objectName: "part_KPageSupport"
            anchors.fill: parent
            Component.onCompleted: mWindow.registerPage(4, this)
            onMSender: mWindow.mGeter(buttonIndex)
        }
        KPageMine {
            objectName: "part_KPageMine"
            anchors.fill: parent
            Component.onCompleted: mWindow.registerPage(5, this)
            onMSender: mWindow.mGeter(buttonIndex)
        }
    }

    KWidgetBottom {
        id: mBottomBar
        anchors.bottom: parent.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        height: g_resolution.getScaleLength(50)
        onRestoreClicked: mWindow.mGeter(15)
    }

    // Shown over the pages while no mouse is found.
    HEquipmentTesting {
        id: mEquipmentTesting
        objectName: "equipmentTesting"
        anchors.top: mTopBar.bottom
        anchors.bottom: parent.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        visible: !g_deviceCtl.online
        onMSender: {
            if (flags === 0)
                Qt.quit()
            else
                mWindow.mGeter(19)
        }
    }

    // --- popups -------------------------------------------------------------------------------------------

    HLogin {
        id: mLogin
        onSigLoginSuccessful: mWindow.showPage(mWindow.mPersonalPage)
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HRegister {
        id: mRegister
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HForgetPassword {
        id: mForgetPassword
        onSigCodeSent: {
            mChecking.mEmail = email
            mWindow.mGeter(4)
        }
    }
    HChecking {
        id: mChecking
        onSigCodeVerified: {
            mResetPassword.mEmail = email
            mResetPassword.mCaptcha = code
            mWindow.mGeter(5)
        }
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HResetPassword {
        id: mResetPassword
        onMSender: mWindow.mGeter(buttonIndex)
    }
    // A new password ends the stored session: the user logs in again with it.
    HResetSuccess {
        id: mResetSuccess
        onMSender: {
            g_configCommon.clearUserInfo()
            mWindow.signedOut()
            mWindow.mGeter(buttonIndex)
        }
    }
    HRegisterSuccess {
        id: mRegisterSuccess
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HNotReceived {
        id: mNotReceived
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HPleaseLogin {
        id: mPleaseLogin
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HLogout {
        id: mLogout
        onSigLogoutSuccess: mWindow.signedOut()
    }
    HUploadConfig {
        id: mUploadConfig
    }
    HDownloadConfig {
        id: mDownloadConfig
    }
    HCheckSoftware {
        id: mCheckSoftware
    }
    HCheckFirmware {
        id: mCheckFirmware
    }
    HRestoreSetting {
        id: mRestoreSetting
    }
    HModifyPassword {
        id: mModifyPassword
        onSiglogout: mWindow.signedOut()
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HVersionUpdate {
        id: mVersionUpdate
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HFirmwareUpdate {
        id: mFirmwareUpdate
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HFirmwareRestore {
        id: mFirmwareRestore
        onMSender: mWindow.mGeter(buttonIndex)
    }
    FFirmwareConfiration {
        id: mFirmwareConfiration
        onSigConfirmed: {
            mFirmwareRestore.open()
            mFirmwareRestore.startUpdate()
        }
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HWarningTips {
        id: mWarningTips
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HWarningDialog {
        id: mWarning
        onMSender: mWindow.mGeter(buttonIndex)
    }
    FPairingInterface {
        id: mPairingInterface
        onMSender: mWindow.mGeter(buttonIndex)
    }
    FPairingInterface2 {
        id: mPairingInterface2
        onMSender: mWindow.mGeter(buttonIndex)
    }
    FPairingSuccess {
        id: mPairingSuccess
        onMSender: g_deviceCtl.slot_reloadMouse()
    }
    FPairingError {
        id: mPairingError
        onMSender: mWindow.mGeter(buttonIndex)
    }
    HSelectMouseConfig {
        id: mSelectMouseConfig
    }
    HProgressBar {
        id: mProgressBar
    }

    // --- feedback -----------------------------------------------------------------------------------------

    Hsuspension {
        id: mTip
        anchors.horizontalCenter: parent.horizontalCenter
        y: g_resolution.getScaleLength(70)
        z: 1
    }

    HLoadDialog {
        id: mLoadDialog
    }
}
