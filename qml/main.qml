// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

import QtQuick 2.12
import QtQuick.Window 2.12
import QtQuick.Extras 1.4

Window {
    visible: true
    width: 200
    height: 445
    color: "#757171"
    title: qsTr("Tavelo")
    flags: Qt.Dialog

    Timer {
        id: timer
        interval: 1000
        repeat: true
        running: false
        onTriggered: {
            if (statusIndicatorSirene.active === true) {
                statusIndicatorSirene.active = false
                image.visible = false
            } else {
                statusIndicatorSirene.active = true
                image.visible = true
            }
        }
    }

    Connections {
        target: serial
        // The classic form: on Qt 5.15 "function onTargetChanged(status)" collides
        // with the Connections object's own target notifier.
        onTargetChanged: {
            if (status === 35) {
                statusIndicatorVermelho.active = true
                statusIndicatorVermelho.color = "#FF0000"
            } else if (status === 33) {
                statusIndicatorAmarelo.active = true
                statusIndicatorAmarelo.color = "#FFFF00"
            } else if (status === 31) {
                statusIndicatorVerde.active = true
                statusIndicatorVerde.color = "#008000"
            } else if (status === 37) {
                statusIndicatorSirene.color = "#D2691E"
                timer.start()
            } else if (status === 36) {
                statusIndicatorVermelho.active = false
            } else if (status === 34) {
                statusIndicatorAmarelo.active = false
            } else if (status === 32) {
                statusIndicatorVerde.active = false
            } else if (status === 38) {
                timer.stop()
                statusIndicatorSirene.active = false
                // At rest the siren looks as at start, whatever phase it stopped in.
                image.visible = true
            }
        }
    }

    StatusIndicator {
        id: statusIndicatorVermelho
        x: 31
        y: 7
        width: 125
        height: 92
        active: false

        Accessible.role: Accessible.Indicator
        Accessible.name: "Vermelho"
        Accessible.description: statusIndicatorVermelho.active ? "aceso" : "apagado"
        Accessible.checkable: true
        Accessible.checked: statusIndicatorVermelho.active
    }

    StatusIndicator {
        id: statusIndicatorAmarelo
        x: 31
        y: 116
        width: 128
        height: 89
        active: false

        Accessible.role: Accessible.Indicator
        Accessible.name: "Amarelo"
        Accessible.description: statusIndicatorAmarelo.active ? "aceso" : "apagado"
        Accessible.checkable: true
        Accessible.checked: statusIndicatorAmarelo.active
    }

    StatusIndicator {
        id: statusIndicatorVerde
        x: 36
        y: 224
        width: 128
        height: 92
        active: false

        Accessible.role: Accessible.Indicator
        Accessible.name: "Verde"
        Accessible.description: statusIndicatorVerde.active ? "aceso" : "apagado"
        Accessible.checkable: true
        Accessible.checked: statusIndicatorVerde.active
    }

    StatusIndicator {
        id: statusIndicatorSirene
        x: 46
        y: 336
        width: 110
        height: 93
        active: false

        Accessible.role: Accessible.Indicator
        Accessible.name: "Sirene"
        Accessible.description: statusIndicatorSirene.active ? "aceso" : "apagado"
        Accessible.checkable: true
        Accessible.checked: statusIndicatorSirene.active

        Image {
            id: image
            x: 18
            y: 21
            width: 74
            height: 51
            fillMode: Image.PreserveAspectFit
            source: "images/sound.png"
        }
    }
}
