// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.12

TestCase {
    id: teste
    name: "Torre"
    when: windowShown

    property var janela: null
    property var vermelho: null
    property var amarelo: null
    property var verde: null
    property var sirene: null
    property var icone: null
    property var timer: null

    // The document has no object names: find its objects by their place and type.
    function init() {
        var componente = Qt.createComponent("qrc:/main.qml")
        compare(componente.status, Component.Ready, componente.errorString())
        janela = componente.createObject(null)
        verify(janela !== null)
        var lampadas = janela.contentItem.children
        compare(lampadas.length, 4)
        vermelho = lampadas[0]
        amarelo = lampadas[1]
        verde = lampadas[2]
        sirene = lampadas[3]
        icone = null
        for (var i = 0; i < sirene.children.length; ++i) {
            if (sirene.children[i].fillMode !== undefined)
                icone = sirene.children[i]
        }
        verify(icone !== null)
        timer = null
        for (var j = 0; j < janela.data.length; ++j) {
            if (janela.data[j].interval !== undefined)
                timer = janela.data[j]
        }
        verify(timer !== null)
    }

    function cleanup() {
        janela.destroy()
        janela = null
    }

    function lampada(nome) {
        return { "vermelho": vermelho, "amarelo": amarelo, "verde": verde, "sirene": sirene }[nome]
    }

    function test_janela() {
        compare(janela.width, 200)
        compare(janela.height, 445)
        verify(Qt.colorEqual(janela.color, "#757171"))
        compare(janela.title, "Tavelo")
        compare(janela.flags, Qt.Dialog)
        verify(janela.visible)
    }

    function test_lampada_data() {
        return [
            { tag: "vermelho", x: 31, y: 7, width: 125, height: 92 },
            { tag: "amarelo", x: 31, y: 116, width: 128, height: 89 },
            { tag: "verde", x: 36, y: 224, width: 128, height: 92 },
            { tag: "sirene", x: 46, y: 336, width: 110, height: 93 },
        ]
    }

    function test_lampada(dado) {
        var l = lampada(dado.tag)
        compare(l.x, dado.x)
        compare(l.y, dado.y)
        compare(l.width, dado.width)
        compare(l.height, dado.height)
        compare(l.active, false)
    }

    function test_icone() {
        compare(icone.x, 18)
        compare(icone.y, 21)
        compare(icone.width, 74)
        compare(icone.height, 51)
        compare(icone.fillMode, Image.PreserveAspectFit)
        compare(icone.visible, true)
        compare(String(icone.source), "qrc:/images/sound.png")
        tryCompare(icone, "status", Image.Ready)
        compare(icone.implicitWidth, 512)
        compare(icone.implicitHeight, 512)
        // Scaled into the box with its aspect kept: a 51 by 51 square.
        compare(icone.paintedWidth, 51)
        compare(icone.paintedHeight, 51)
    }

    function test_timer_parado() {
        compare(timer.interval, 1000)
        compare(timer.repeat, true)
        compare(timer.running, false)
    }

    // --- commands ---------------------------------------------------------

    function estado() {
        var e = {}
        var nomes = ["vermelho", "amarelo", "verde", "sirene"]
        for (var i = 0; i < nomes.length; ++i) {
            var l = lampada(nomes[i])
            e[nomes[i]] = [l.active, String(l.color)]
        }
        e.icone = icone.visible
        e.timer = timer.running
        return JSON.stringify(e)
    }

    function test_liga_data() {
        return [
            { tag: "35 vermelho", codigo: 35, lampada: "vermelho", cor: "#FF0000" },
            { tag: "33 amarelo", codigo: 33, lampada: "amarelo", cor: "#FFFF00" },
            { tag: "31 verde", codigo: 31, lampada: "verde", cor: "#008000" },
        ]
    }

    function test_liga(dado) {
        var l = lampada(dado.lampada)
        l.color = "blue"
        serial.envia(dado.codigo)
        compare(l.active, true)
        verify(Qt.colorEqual(l.color, dado.cor), String(l.color))
        // Only that lamp changed.
        var nomes = ["vermelho", "amarelo", "verde", "sirene"]
        for (var i = 0; i < nomes.length; ++i) {
            if (nomes[i] !== dado.lampada)
                compare(lampada(nomes[i]).active, false, nomes[i])
        }
        compare(timer.running, false)
    }

    function test_desliga_data() {
        return [
            { tag: "36 vermelho", liga: 35, desliga: 36, lampada: "vermelho", cor: "#FF0000" },
            { tag: "34 amarelo", liga: 33, desliga: 34, lampada: "amarelo", cor: "#FFFF00" },
            { tag: "32 verde", liga: 31, desliga: 32, lampada: "verde", cor: "#008000" },
        ]
    }

    function test_desliga(dado) {
        var l = lampada(dado.lampada)
        serial.envia(35)
        serial.envia(33)
        serial.envia(31)
        serial.envia(dado.desliga)
        compare(l.active, false)
        // Switching off keeps the colour...
        verify(Qt.colorEqual(l.color, dado.cor), String(l.color))
        var nomes = ["vermelho", "amarelo", "verde"]
        for (var i = 0; i < nomes.length; ++i) {
            if (nomes[i] !== dado.lampada)
                compare(lampada(nomes[i]).active, true, nomes[i])
        }
        // ...and switching on again sets it again.
        l.color = "blue"
        serial.envia(dado.liga)
        compare(l.active, true)
        verify(Qt.colorEqual(l.color, dado.cor), String(l.color))
    }

    function test_lampadas_independentes_data() {
        return [
            { tag: "31 33 35", codigos: [31, 33, 35] },
            { tag: "35 31 33", codigos: [35, 31, 33] },
            { tag: "33 35 31", codigos: [33, 35, 31] },
        ]
    }

    function test_lampadas_independentes(dado) {
        for (var i = 0; i < dado.codigos.length; ++i)
            serial.envia(dado.codigos[i])
        compare(vermelho.active, true)
        compare(amarelo.active, true)
        compare(verde.active, true)
        verify(Qt.colorEqual(vermelho.color, "#FF0000"))
        verify(Qt.colorEqual(amarelo.color, "#FFFF00"))
        verify(Qt.colorEqual(verde.color, "#008000"))
        compare(sirene.active, false)
    }

    function test_valor_desconhecido_data() {
        return [
            { tag: "0", codigo: 0 },
            { tag: "30", codigo: 30 },
            { tag: "39", codigo: 39 },
            { tag: "-1", codigo: -1 },
            { tag: "49 ('1' as a number)", codigo: 49 },
        ]
    }

    function test_valor_desconhecido(dado) {
        serial.envia(33)
        var antes = estado()
        serial.envia(dado.codigo)
        compare(estado(), antes)
    }

    function test_desliga_sirene_parada() {
        var antes = estado()
        serial.envia(38)
        compare(estado(), antes)
    }

    // --- siren blinker ------------------------------------------------------

    function test_sirene_pisca() {
        // Runs after the document's own tick handler: sees what each tick left.
        var ticks = []
        var registra = function() { ticks.push({ t: Date.now(), aceso: sirene.active, icone: icone.visible }) }
        timer.triggered.connect(registra)
        var inicio = Date.now()
        serial.envia(37)
        verify(Qt.colorEqual(sirene.color, "#D2691E"), String(sirene.color))
        compare(timer.running, true)
        compare(sirene.active, false)
        compare(icone.visible, true)
        tryVerify(function() { return ticks.length >= 3 }, timer.interval * 5)
        timer.triggered.disconnect(registra)

        // Lit and shown, dark and hidden, lit and shown; a coarse timer may fire 5% early.
        var fases = [true, false, true]
        var minimo = timer.interval * 0.95 - 5
        var anterior = inicio
        for (var i = 0; i < fases.length; ++i) {
            compare(ticks[i].aceso, fases[i], "lamp at tick " + i)
            compare(ticks[i].icone, fases[i], "icon at tick " + i)
            verify(ticks[i].t - anterior >= minimo, "tick " + i + " after " + (ticks[i].t - anterior) + " ms")
            anterior = ticks[i].t
        }
        // The other lamps are untouched.
        compare(vermelho.active, false)
        compare(amarelo.active, false)
        compare(verde.active, false)
    }

    function test_sirene_desligada_antes_do_primeiro_tique() {
        serial.envia(37)
        serial.envia(38)
        compare(timer.running, false)
        compare(sirene.active, false)
        compare(icone.visible, true)
        wait(timer.interval + 200)
        compare(sirene.active, false)
        compare(icone.visible, true)
    }

    function test_sirene_desligada_data() {
        return [
            { tag: "fase acesa", aceso: true, icone: true },
            { tag: "fase escura", aceso: false, icone: false },
        ]
    }

    // Stopped in either phase, the siren looks as at start: dark, icon shown.
    function test_sirene_desligada(dado) {
        serial.envia(37)
        tryCompare(sirene, "active", true, timer.interval * 2)
        if (!dado.aceso)
            tryCompare(sirene, "active", false, timer.interval * 2)
        compare(icone.visible, dado.icone)
        serial.envia(38)
        compare(timer.running, false)
        compare(sirene.active, false)
        compare(icone.visible, true)
        wait(timer.interval + 200)
        compare(sirene.active, false)
        compare(icone.visible, true)
    }

    // --- accessibility ------------------------------------------------------

    function test_acessivel_data() {
        return [
            { tag: "vermelho", nome: "Vermelho", liga: 35, desliga: 36 },
            { tag: "amarelo", nome: "Amarelo", liga: 33, desliga: 34 },
            { tag: "verde", nome: "Verde", liga: 31, desliga: 32 },
        ]
    }

    function test_acessivel(dado) {
        var l = lampada(dado.tag)
        compare(l.Accessible.role, Accessible.Indicator)
        compare(l.Accessible.name, dado.nome)
        compare(l.Accessible.checkable, true)
        compare(l.Accessible.checked, false)
        compare(l.Accessible.description, "apagado")
        serial.envia(dado.liga)
        compare(l.Accessible.checked, true)
        compare(l.Accessible.description, "aceso")
        serial.envia(dado.desliga)
        compare(l.Accessible.checked, false)
        compare(l.Accessible.description, "apagado")
    }

    function test_sirene_acessivel() {
        compare(sirene.Accessible.role, Accessible.Indicator)
        compare(sirene.Accessible.name, "Sirene")
        compare(sirene.Accessible.checkable, true)
        compare(sirene.Accessible.description, "apagado")
        serial.envia(37)
        tryCompare(sirene.Accessible, "checked", true, timer.interval * 2)
        compare(sirene.Accessible.description, "aceso")
        tryCompare(sirene.Accessible, "checked", false, timer.interval * 2)
        compare(sirene.Accessible.description, "apagado")
    }
}
