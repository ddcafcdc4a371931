import QtQuick 2.12
import "qrc:/lightEffect"

// Holder of the key page's picture of the current model: it holds one picture per model family and shows the
// one that serves the device name given to matchingModel, hiding the others (none for a model without one).
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
    signal showDunmorHollis(int index)

    // Shows the picture that serves device; true when there is one.
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

    // The RGB keyboard's selected key (-1: none).
    function getQuenby_RGB_CurrentKey() {
        return mQuenbyRGB.mCurrentKey
    }

    // The preview shown (null: none).
    function currentPreview() {
        for (var i = 0; i < mPreviews.length; ++i) {
            if (mPreviews[i].visible)
                return mPreviews[i]
        }
        return null
    }

    width: g_image.keyImgWidth
    height: g_image.keyImgHeight

    onShowHarloHollis: mHarlo.showPage(index)
    onShowNordic: mNordic.showPage(index)
    onShowDunmorHollis: mDunmor.showPage(index)
    onShowQuenby_8A_Btn: mQuenby8A.enabled = flag
    onShowQuenby_RGB_Btn: mQuenbyRGB.enabled = flag

    HLightEffect_Harlo_Hollis {
        id: mHarlo
        objectName: "harloPreview"
        anchors.fill: parent
        visible: false
    }
    HLightEffect_Nordic {
        id: mNordic
        objectName: "nordicPreview"
        // The other models of the family have no picture on the key page.
        mModels: ["Maldon", "Nesbit", "Jessam"]
        anchors.fill: parent
        visible: false
    }
    FKeyboard_Key_Quenby_8A {
        id: mQuenby8A
        objectName: "quenby8aKeys"
        anchors.fill: parent
        visible: false
        onClickBtn: root.clickQuenby_8A_Btn(key)
    }
    HKeyBoard_Key_Quenby_RGB {
        id: mQuenbyRGB
        objectName: "quenbyRgbKeys"
        anchors.fill: parent
        visible: false
        onClickBtn: {
            mQuenbyRGB.mCurrentKey = key
            root.clickQuenby_RGB_Btn(key)
        }
    }
    FLightEffect_Dunmor_Hollis {
        id: mDunmor
        objectName: "dunmorPreview"
        anchors.fill: parent
        visible: false
    }
}
