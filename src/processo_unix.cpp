// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#include "processo_unix.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int escritaDoSinal = -1;

void aoSinal(int)
{
    const int salvo = errno;
    const char byte = 1;
    // Nothing to do if it fails: the pair is full, so a wake-up is pending.
    [[maybe_unused]] const auto escrito = ::write(escritaDoSinal, &byte, 1);
    errno = salvo;
}

} // namespace

void preparaProcesso()
{
    for (int descritor = 0; descritor <= 2; ++descritor) {
        if (::fcntl(descritor, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int nulo = ::open("/dev/null", O_RDWR);
        if (nulo >= 0 && nulo != descritor) {
            ::dup2(nulo, descritor);
            ::close(nulo);
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
}

bool travaExclusiva(int descritor)
{
    int resultado;
    do {
        resultado = ::flock(descritor, LOCK_EX | LOCK_NB);
    } while (resultado == -1 && errno == EINTR);
    return resultado == 0;
}

FimPorSinal::FimPorSinal(std::function<void()> aoFim)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, par) != 0)
        return;
    escritaDoSinal = par[0];
    notificador = new QSocketNotifier(par[1], QSocketNotifier::Read);
    QObject::connect(notificador, &QSocketNotifier::activated, notificador,
        [this, aoFim = std::move(aoFim)] {
            char lixo[16];
            while (::read(par[1], lixo, sizeof lixo) > 0) { }
            aoFim();
        });

    struct sigaction acao {};
    acao.sa_handler = aoSinal;
    sigemptyset(&acao.sa_mask);
    acao.sa_flags = SA_RESTART | SA_RESETHAND;
    ::sigaction(SIGTERM, &acao, nullptr);
    ::sigaction(SIGINT, &acao, nullptr);
}

FimPorSinal::~FimPorSinal()
{
    if (!notificador)
        return;
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    escritaDoSinal = -1;
    delete notificador;
    ::close(par[0]);
    ::close(par[1]);
}
