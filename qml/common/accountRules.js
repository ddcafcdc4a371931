.pragma library

// The input rules the account dialogs share. Each check gives the message to show, or "" when the input passes.

// Letters and digits, with dots, "_", "+" and "-" inside the local part; one or more domain labels before a
// top-level domain of two or more letters. No "@" or no dot in the domain is refused.
var emailPattern = /^[A-Za-z0-9](?:[A-Za-z0-9_+\-]|\.(?!\.))*@(?:[A-Za-z0-9](?:[A-Za-z0-9\-]*[A-Za-z0-9])?\.)+[A-Za-z]{2,63}$/
var minPasswordLength = 6

function isEmail(text) {
    return emailPattern.test(text) && text.charAt(text.indexOf("@") - 1) !== "."
}

// fields: the texts of every input field of the dialog.
function emptyMessage(fields) {
    for (var i = 0; i < fields.length; ++i) {
        if (fields[i] === "")
            return qsTr("The input field cannot be empty")
    }
    return ""
}

function emailMessage(text) {
    return isEmail(text) ? "" : qsTr("The mailbox format is incorrect, please re-enter")
}

function passwordMessage(password) {
    return password.length >= minPasswordLength
            ? "" : qsTr("The password you entered is too short. The password must be at least 6 digits long")
}

function repeatMessage(password, repeated) {
    return password === repeated ? "" : qsTr("The passwords entered twice are inconsistent")
}

// The first message of the list that is not empty.
function first(messages) {
    for (var i = 0; i < messages.length; ++i) {
        if (messages[i] !== "")
            return messages[i]
    }
    return ""
}
