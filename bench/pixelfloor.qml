// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

import QtQuick 2.12
import QtQuick.Window 2.12

// The red lamp's place in the tower, as one plain Rectangle that pixelfloor
// colours.
Window {
    visible: true
    width: 200
    height: 445
    color: "#757171"
    title: "floor"

    Rectangle {
        objectName: "lamp"
        x: 31
        y: 7
        width: 125
        height: 92
        color: "#404040"
    }
}
