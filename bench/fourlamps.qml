// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

import QtQuick 2.12
import QtQuick.Window 2.12
import QtQuick.Extras 1.4

// Not a target, an explanation: the tower's four lamps at their places, the
// siren blinking, nothing else. What drawing the three other lamps costs.
Window {
    visible: true
    width: 200
    height: 445
    color: "#757171"
    title: "floor"

    StatusIndicator { x: 31; y: 7; width: 125; height: 92 }
    StatusIndicator { x: 31; y: 116; width: 128; height: 89 }
    StatusIndicator { x: 36; y: 224; width: 128; height: 92 }

    StatusIndicator {
        id: lamp
        x: 46
        y: 336
        width: 110
        height: 93
        color: "#D2691E"
    }

    Timer {
        interval: 1000
        repeat: true
        running: true
        onTriggered: lamp.active = !lamp.active
    }
}
