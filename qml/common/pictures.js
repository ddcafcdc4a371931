.pragma library

// The picture (or colour) of a four-state control: selected and hovered states fall back to the plainer
// state's picture when the user gave none, so a control never turns blank.
function choose(selected, hovered, normal, hoveredPicture, selectedPicture, hoveredSelectedPicture) {
    if (selected && hovered)
        return hoveredSelectedPicture || selectedPicture || hoveredPicture || normal
    if (selected)
        return selectedPicture || normal
    if (hovered)
        return hoveredPicture || normal
    return normal
}

// "left", "right", "top", "bottom" or anything else (centre), as the alignment the Text item takes.
function horizontal(name) {
    if (name === "left")
        return 1 // Text.AlignLeft
    if (name === "right")
        return 2 // Text.AlignRight
    return 4 // Text.AlignHCenter
}

function vertical(name) {
    if (name === "top")
        return 32 // Text.AlignTop
    if (name === "bottom")
        return 64 // Text.AlignBottom
    return 128 // Text.AlignVCenter
}
