// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

import QtQuick 2.12
import QtQuick.Window 2.12
import QtQuick.Extras 1.4

// The siren lamp alone, blinking: what the mandated lamp costs by itself.
Window {
    visible: true
    width: 200
    height: 445
    color: "#757171"
    title: "floor"

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
