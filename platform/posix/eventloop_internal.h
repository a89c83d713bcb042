// Between the Linux event loop and the Linux socket functions: a send that would have blocked
// arms a one-shot write notification, as Winsock's FD_WRITE does.
#pragma once
#include "platform/eventloop.h"

namespace platform::detail {
void ArmSocketWrite(SocketHandle socket);
}
