import QtQuick 2.12

// Light-effect preview of the Dunmor mouse: the same two-colour preview as the Harlo's, in its own colours.
HLightEffect_Harlo_Hollis {
    mModels: ["Dunmor"]
    mSecondColor: "#7CE24C"
}
