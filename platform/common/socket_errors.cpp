// Texts of the Winsock error numbers, the same on every platform so that reason phrases built
// from them do not depend on the system's language or on Wine's wording.
#include <string>

#include "platform/socket.h"

namespace platform {

std::string SocketErrorText(int error) {
    switch (error) {
        case 10004:
            return "A blocking operation was interrupted by a call to WSACancelBlockingCall.";
        case 10009:
            return "The file handle supplied is not valid.";
        case 10013:
            return "An attempt was made to access a socket in a way forbidden by its access "
                   "permissions.";
        case 10014:
            return "The system detected an invalid pointer address in attempting to use a pointer "
                   "argument in a call.";
        case 10022:
            return "An invalid argument was supplied.";
        case 10024:
            return "Too many open sockets.";
        case 10035:
            return "A non-blocking socket operation could not be completed immediately.";
        case 10036:
            return "A blocking operation is currently executing.";
        case 10037:
            return "An operation was attempted on a non-blocking socket that already had an "
                   "operation in progress.";
        case 10038:
            return "An operation was attempted on something that is not a socket.";
        case 10047:
            return "An address incompatible with the requested protocol was used.";
        case 10048:
            return "Only one usage of each socket address (protocol/network address/port) is "
                   "normally permitted.";
        case 10049:
            return "The requested address is not valid in its context.";
        case 10050:
            return "A socket operation encountered a dead network.";
        case 10051:
            return "A socket operation was attempted to an unreachable network.";
        case 10052:
            return "The connection has been broken due to keep-alive activity detecting a failure "
                   "while the operation was in progress.";
        case 10053:
            return "An established connection was aborted by the software in your host machine.";
        case 10054:
            return "An existing connection was forcibly closed by the remote host.";
        case 10055:
            return "An operation on a socket could not be performed because the system lacked "
                   "sufficient buffer space or because a queue was full.";
        case 10056:
            return "A connect request was made on an already connected socket.";
        case 10057:
            return "A request to send or receive data was disallowed because the socket is not "
                   "connected.";
        case 10060:
            return "A connection attempt failed because the connected party did not properly "
                   "respond after a period of time, or established connection failed because "
                   "connected host has failed to respond.";
        case 10061:
            return "No connection could be made because the target machine actively refused it.";
        case 10064:
            return "A socket operation failed because the destination host was down.";
        case 10065:
            return "A socket operation was attempted to an unreachable host.";
        case 11001:
            return "No such host is known.";
        case 11002:
            return "This is usually a temporary error during hostname resolution and means that "
                   "the local server did not receive a response from an authoritative server.";
        case 11003:
            return "A non-recoverable error occurred during a database lookup.";
        case 11004:
            return "The requested name is valid, but no data of the requested type was found.";
        default:
            return "Socket error " + std::to_string(error);
    }
}

}  // namespace platform
