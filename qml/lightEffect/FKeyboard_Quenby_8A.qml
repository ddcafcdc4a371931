import QtQuick 2.12
import "qrc:/common"

// Light-effect preview of the keyboard: one view per effect over the light picture, each made when it is first
// shown (asynchronously) and only while it is shown. The views of the single-key and ripple effects react to the
// keys pressed in the program's window, so the key-press preview runs while one of them is on screen.
HLightEffect {
    id: root

    property var mPages: [mLightAlways, mLightSignBreath, mLightBreath, mLightStar, mLightCurve, mLightRipples,
                          mLightCustom]
    property bool mIsCenter: false
    property int pageIndex: -1
    property bool mHooked: false
    property color mColor: "#43DEF1"

    readonly property var mLogo: g_lightModel.logo
    // The keyboard's brightness as a share of its range, in percent.
    readonly property int mBrightness: mLogo && mLogo.brightnessMax > 0
                                       ? Math.round(100 * mLogo.brightness / mLogo.brightnessMax) : 100
    // One animation step: the faster the effect, the shorter.
    readonly property int mDuration: mLogo ? 600 + 400 * Math.max(0, mLogo.speedMax - mLogo.speed) : 1000

    signal clickBtn(int key)
    signal changeKeyCenter(int index)

    // Shows the view of the effect at index of the lighting model's list.
    function showPage(index) {
        pageIndex = viewOfEffect(index)
        updateHook()
    }

    // The view that shows an effect: this keyboard has one view per effect, in the list's order.
    function viewOfEffect(index) {
        return index
    }

    // The colour of a key in the custom view.
    function keyColor(key) {
        return mColor
    }

    function reactsToKeys() {
        return pageIndex === 1 || pageIndex === 5
    }

    function updateHook() {
        var want = visible && g_deviceCtl.online && reactsToKeys()
        if (want === mHooked)
            return
        mHooked = want
        if (want)
            g_keyModel.installHook()
        else
            g_keyModel.unInstallHook()
    }

    // The pressed state of the key at a position of the key list.
    function isDown(index) {
        var keys = g_keyModel.keyValueList
        return index < keys.length && keys[index] ? keys[index].isDown : false
    }

    // A key's own level from the per-key light model, in percent.
    function keyBrightness(key) {
        var list = f_keyLightModel.keyLightList
        var max = f_keyLightModel.maxValue
        for (var i = 0; i < list.length; ++i) {
            if (list[i] && list[i].key === key)
                return max > 0 ? Math.round(100 * list[i].brightness / max) : 100
        }
        return 0
    }

    mModels: ["ZEPHRA", "Quenby-8A"]
    // The key lights are placed on the key picture's frame; the light picture is drawn to fill it.
    width: g_image.keyImgWidth
    height: g_image.keyImgHeight

    // One key of a view, on its key of the light picture (drawn from the key page's key rectangles, as the
    // light buttons above are placed); clicks pass to those buttons.
    component KeyLight: FKbKeyLightItem {
        readonly property string mId: String(mKey)
        property real mGlowRadius: 0
        property real mGlowSpread: 0

        objectName: "light" + mId
        enabled: false
        target: null
        x: g_image.keyXMap[mId] || 0
        y: g_image.keyYMap[mId] || 0
        width: g_image.keyWidthMap[mId] || 0
        height: g_image.keyHeightMap[mId] || 0
        mColor: "#43DEF1"

        Rectangle {
            readonly property real mGlow: parent.mGlowRadius * parent.mGlowSpread
            visible: mGlow > 0
            anchors.fill: parent
            anchors.margins: -mGlow
            radius: mGlow * 2
            color: "transparent"
            border.width: mGlow
            border.color: parent.mColor
            opacity: parent.mBrightness / 200
        }
    }

    onVisibleChanged: updateHook()
    Component.onDestruction: {
        if (mHooked)
            g_keyModel.unInstallHook()
    }
    Connections {
        target: g_deviceCtl
        function onOnlineChanged() { root.updateHook() }
    }

    Image {
        anchors.fill: parent
        source: g_image.lightImgMap["0"] || ""
    }

    // Every key lit in one colour, with a soft glow.
    Loader {
        id: mLightAlways
        objectName: "lightAlways"
        anchors.fill: parent
        asynchronous: true
        active: root.pageIndex === 0
        sourceComponent: Item {
            Repeater {
                model: g_keyModel.keyList
                KeyLight {
                    mKey: modelData ? modelData.key : -1
                    mColor: root.mColor
                    mGlowRadius: 20
                    mGlowSpread: 0.2
                    mBrightness: root.mBrightness
                }
            }
        }
    }

    // A key lights when pressed and fades.
    Loader {
        id: mLightSignBreath
        objectName: "lightSignBreath"
        anchors.fill: parent
        asynchronous: true
        active: root.pageIndex === 1
        sourceComponent: Item {
            Repeater {
                model: g_keyModel.keyList
                KeyLight {
                    mKey: modelData ? modelData.key : -1
                    mColor: root.mColor
                    mIsDown: root.isDown(index)
                    mBrightness: mIsDown ? root.mBrightness : 0
                    Behavior on mBrightness {
                        enabled: mBrightness > 0
                        NumberAnimation { duration: root.mDuration }
                    }
                }
            }
        }
    }

    // The whole keyboard breathes.
    Loader {
        id: mLightBreath
        objectName: "lightBreath"
        anchors.fill: parent
        asynchronous: true
        active: root.pageIndex === 2
        sourceComponent: Item {
            id: mBreathing
            SequentialAnimation on opacity {
                running: root.mSeen
                loops: Animation.Infinite
                NumberAnimation { from: 1; to: 0; duration: root.mDuration }
                NumberAnimation { from: 0; to: 1; duration: root.mDuration }
            }
            Repeater {
                model: g_keyModel.keyList
                KeyLight {
                    mKey: modelData ? modelData.key : -1
                    mColor: root.mColor
                    mBrightness: root.mBrightness
                }
            }
        }
    }

    // Random keys twinkle, ten at a time.
    Loader {
        id: mLightStar
        objectName: "lightStar"
        anchors.fill: parent
        asynchronous: true
        active: root.pageIndex === 3
        sourceComponent: Item {
            id: mStars
            property var mLit: []
            Repeater {
                model: 10
                Item {
                    Timer {
                        interval: root.mDuration + 97 * index
                        repeat: true
                        running: root.mSeen
                        onTriggered: {
                            var lit = mStars.mLit.slice()
                            lit[index] = Math.floor(Math.random() * g_keyModel.keyList.length)
                            mStars.mLit = lit
                        }
                    }
                }
            }
            Repeater {
                model: g_keyModel.keyList
                KeyLight {
                    mKey: modelData ? modelData.key : -1
                    mColor: root.mColor
                    mGlowRadius: 20
                    mGlowSpread: 0.4
                    mBrightness: mStars.mLit.indexOf(index) >= 0 ? root.mBrightness : 0
                }
            }
        }
    }

    // A band of colours moving across the keyboard in a wave.
    Loader {
        id: mLightCurve
        objectName: "lightCurve"
        anchors.fill: parent
        asynchronous: true
        active: root.pageIndex === 4
        sourceComponent: Item {
            id: mCurve
            Rectangle {
                id: mBand
                anchors.fill: parent
                visible: !mWave.visible
                opacity: root.mBrightness / 100
                gradient: Gradient {
                    orientation: Gradient.Horizontal
                    GradientStop { position: 0.0; color: "#FF3B5C" }
                    GradientStop { position: 0.25; color: "#FFB13B" }
                    GradientStop { position: 0.5; color: "#43DEF1" }
                    GradientStop { position: 0.75; color: "#5B6CFF" }
                    GradientStop { position: 1.0; color: "#C03BFF" }
                }
            }
            // The wave needs a shader: only where the scene is drawn with OpenGL.
            ShaderEffect {
                id: mWave
                anchors.fill: parent
                visible: GraphicsInfo.api === GraphicsInfo.OpenGL
                property variant source: ShaderEffectSource { sourceItem: mBand; hideSource: true }
                property real frequency: 8
                property real amplitude: 0.05
                property real time: 0
                opacity: root.mBrightness / 100
                NumberAnimation on time {
                    running: root.mSeen && mWave.visible
                    loops: Animation.Infinite
                    from: 0
                    to: Math.PI * 2
                    duration: 4 * root.mDuration
                }
                fragmentShader: "
                    varying highp vec2 qt_TexCoord0;
                    uniform sampler2D source;
                    uniform lowp float qt_Opacity;
                    uniform highp float frequency;
                    uniform highp float amplitude;
                    uniform highp float time;
                    void main() {
                        highp vec2 pulse = sin(time - frequency * qt_TexCoord0);
                        highp vec2 coord = qt_TexCoord0 + amplitude * vec2(pulse.x, -pulse.x);
                        gl_FragColor = texture2D(source, coord) * qt_Opacity;
                    }"
            }
        }
    }

    // Ripples spread from the keys pressed.
    Loader {
        id: mLightRipples
        objectName: "lightRipples"
        anchors.fill: parent
        asynchronous: true
        active: root.pageIndex === 5
        sourceComponent: Item {
            Repeater {
                model: g_keyModel.keyList
                KeyLight {
                    mKey: modelData ? modelData.key : -1
                    mColor: root.mColor
                    mIsDown: root.isDown(index)
                    mBrightness: mIsDown ? root.mBrightness : 0
                    FWaveEffect {
                        id: mRipple
                        anchors.centerIn: parent
                        wave_color: root.mColor
                        visible: mGrow.running
                    }
                    onMIsDownChanged: {
                        if (mIsDown)
                            mGrow.restart()
                    }
                    NumberAnimation {
                        id: mGrow
                        target: mRipple
                        property: "wave_offset"
                        from: 0
                        to: 1
                        duration: 2 * root.mDuration
                    }
                }
            }
        }
    }

    // Each key at its own level.
    Loader {
        id: mLightCustom
        objectName: "lightCustom"
        anchors.fill: parent
        asynchronous: true
        active: root.pageIndex === 6
        sourceComponent: Item {
            Repeater {
                model: g_keyModel.keyList
                KeyLight {
                    mKey: modelData ? modelData.key : -1
                    mColor: root.keyColor(mKey)
                    mBrightness: root.keyBrightness(mKey)
                }
            }
        }
    }
}
