// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

// libFuzzer target for the command decoder: it must never crash, and it must
// agree with the simplest reading of the protocol (each byte '1'..'8' is one
// command, in order; every other byte is ignored).
#include "comandos.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

const char *const textos[] = {
    "Liga Led Verde", "Desliga Verde", "Liga Led Amarelo", "Desliga Amarelo",
    "Liga Led Vermelho", "Desliga Vermelho ", "Liga sirene", "Desliga Sirene ",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray dados(reinterpret_cast<const char *>(data), int(size));
    const std::vector<Comando> comandos = decodificaComandos(dados);

    size_t k = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] < '1' || data[i] > '8')
            continue;
        if (k >= comandos.size())
            abort();
        const int digito = data[i] - '0';
        if (comandos[k].codigo != 30 + digito)
            abort();
        if (std::strcmp(comandos[k].texto, textos[digito - 1]) != 0)
            abort();
        ++k;
    }
    if (k != comandos.size())
        abort();
    return 0;
}
