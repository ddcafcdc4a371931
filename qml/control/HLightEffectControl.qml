import QtQuick 2.12
import "qrc:/lightEffect"

// Holder of the lighting page's light-effect preview: one preview per model family, of which the one serving
// the device name given to matchingModel is shown and the others hidden. The show signals choose the effect a
// preview shows.
Item {
    id: root

    property string mDevice: ""
    readonly property var mPreviews: [mHarlo, mNordic, mQuenby8A, mQuenbyRGB, mDunmor]

    signal clickQuenby_8A_Btn(int key)
    signal clickQuenby_RGB_Btn(int key)
    signal showQuenby_8A_Btn(bool flag)
    signal showQuenby_RGB_Btn(bool flag)
    signal showHarloHollis(int index)
    signal showNordic(int index)
    signal showQuenby_8A(int index)
    signal showDunmorHollis(int index)

    // Shows the preview that serves device; true when there is one.
    function matchingModel(device) {
        mDevice = device
        var found = false
        for (var i = 0; i < mPreviews.length; ++i) {
            var match = !found && mPreviews[i].matchingModel(device)
            mPreviews[i].visible = match
            found = found || match
        }
        return found
    }

    function getQuenby_RGB_CurrentKey() {
        return mQuenbyRGB.mCurrentKey
    }

    onShowHarloHollis: mHarlo.showPage(index)
    onShowNordic: mNordic.showPage(index)
    onShowDunmorHollis: mDunmor.showPage(index)
    onShowQuenby_8A: {
        mQuenby8A.showPage(index)
        mQuenbyRGB.showPage(index)
    }
    onShowQuenby_8A_Btn: mQuenby8A.enabled = flag
    onShowQuenby_RGB_Btn: mQuenbyRGB.enabled = flag
    onClickQuenby_RGB_Btn: mQuenbyRGB.mCurrentKey = key

    HLightEffect_Harlo_Hollis {
        id: mHarlo
        objectName: "harloPreview"
        anchors.fill: parent
        visible: false
    }
    HLightEffect_Nordic {
        id: mNordic
        objectName: "nordicPreview"
        anchors.fill: parent
        visible: false
    }
    FKeyboard_Quenby_8A {
        id: mQuenby8A
        objectName: "quenby8aPreview"
        anchors.fill: parent
        visible: false
        onClickBtn: root.clickQuenby_8A_Btn(key)
    }
    HKeyboard_Quenby_RGB {
        id: mQuenbyRGB
        objectName: "quenbyRgbPreview"
        anchors.fill: parent
        visible: false
        onClickBtn: root.clickQuenby_RGB_Btn(key)
    }
    FLightEffect_Dunmor_Hollis {
        id: mDunmor
        objectName: "dunmorPreview"
        anchors.fill: parent
        visible: false
    }
}
