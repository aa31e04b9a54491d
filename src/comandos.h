// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#ifndef COMANDOS_H
#define COMANDOS_H

#include <QByteArray>
#include <vector>

// One command byte of the wire protocol, as the tower understands it.
struct Comando {
    int codigo = 0; // the byte's two hex digits read as decimal: '1' -> 31
    const char *texto = nullptr; // debug text, exactly as logged
};

// Every command byte of a chunk, in the order received; any other byte is ignored.
// Pure: no state is kept between calls.
std::vector<Comando> decodificaComandos(const QByteArray &dados);

#endif // COMANDOS_H
