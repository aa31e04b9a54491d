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
}
