// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

import QtQuick 2.12
import QtQuick.Window 2.12
import QtQuick.Extras 1.4

// Not a target, an explanation: the red lamp alone, as the StatusIndicator
// tavelo must use, lit while pixelfloor has coloured it red.
Window {
    visible: true
    width: 200
    height: 445
    color: "#757171"
    title: "floor"

    StatusIndicator {
        objectName: "lamp"
        x: 31
        y: 7
        width: 125
        height: 92
        color: "#404040"
        active: color == "#ff0000"
    }
}
