// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#include "comandos.h"

namespace {

// Indexed by byte - '1'.
constexpr Comando tabela[] = {
    {31, "Liga Led Verde"},
    {32, "Desliga Verde"},
    {33, "Liga Led Amarelo"},
    {34, "Desliga Amarelo"},
    {35, "Liga Led Vermelho"},
    {36, "Desliga Vermelho "},
    {37, "Liga sirene"},
    {38, "Desliga Sirene "},
};

} // namespace

std::vector<Comando> decodificaComandos(const QByteArray &dados)
{
    std::vector<Comando> comandos;
    for (const char c : dados) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= '1' && byte <= '8')
            comandos.push_back(tabela[byte - '1']);
    }
    return comandos;
}
