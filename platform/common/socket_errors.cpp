// Texts of the Winsock error numbers, the same on every platform so that reason phrases built
// from them do not depend on the system's language or on Wine's wording.
#include <string>

#include "platform/socket.h"

namespace platform {

std::string SocketErrorText(int error) {
    switch (error) {
        case kWsaEIntr:
            return "A blocking operation was interrupted by a call to WSACancelBlockingCall.";
        case kWsaEBadF:
            return "The file handle supplied is not valid.";
        case kWsaEAcces:
            return "An attempt was made to access a socket in a way forbidden by its access "
                   "permissions.";
        case kWsaEFault:
            return "The system detected an invalid pointer address in attempting to use a pointer "
                   "argument in a call.";
        case kWsaEInval:
            return "An invalid argument was supplied.";
        case kWsaEMFile:
            return "Too many open sockets.";
        case kWsaEWouldBlock:
            return "A non-blocking socket operation could not be completed immediately.";
        case kWsaEInProgress:
            return "A blocking operation is currently executing.";
        case kWsaEAlready:
            return "An operation was attempted on a non-blocking socket that already had an "
                   "operation in progress.";
        case kWsaENotSock:
            return "An operation was attempted on something that is not a socket.";
        case kWsaEAfNoSupport:
            return "An address incompatible with the requested protocol was used.";
        case kWsaEAddrInUse:
            return "Only one usage of each socket address (protocol/network address/port) is "
                   "normally permitted.";
        case kWsaEAddrNotAvail:
            return "The requested address is not valid in its context.";
        case kWsaENetDown:
            return "A socket operation encountered a dead network.";
        case kWsaENetUnreach:
            return "A socket operation was attempted to an unreachable network.";
        case kWsaENetReset:
            return "The connection has been broken due to keep-alive activity detecting a failure "
                   "while the operation was in progress.";
        case kWsaEConnAborted:
            return "An established connection was aborted by the software in your host machine.";
        case kWsaEConnReset:
            return "An existing connection was forcibly closed by the remote host.";
        case kWsaENoBufs:
            return "An operation on a socket could not be performed because the system lacked "
                   "sufficient buffer space or because a queue was full.";
        case kWsaEIsConn:
            return "A connect request was made on an already connected socket.";
        case kWsaENotConn:
            return "A request to send or receive data was disallowed because the socket is not "
                   "connected.";
        case kWsaETimedOut:
            return "A connection attempt failed because the connected party did not properly "
                   "respond after a period of time, or established connection failed because "
                   "connected host has failed to respond.";
        case kWsaEConnRefused:
            return "No connection could be made because the target machine actively refused it.";
        case kWsaEHostDown:
            return "A socket operation failed because the destination host was down.";
        case kWsaEHostUnreach:
            return "A socket operation was attempted to an unreachable host.";
        case kWsaHostNotFound:
            return "No such host is known.";
        case kWsaTryAgain:
            return "This is usually a temporary error during hostname resolution and means that "
                   "the local server did not receive a response from an authoritative server.";
        case kWsaNoRecovery:
            return "A non-recoverable error occurred during a database lookup.";
        case kWsaNoData:
            return "The requested name is valid, but no data of the requested type was found.";
        default:
            return "Socket error " + std::to_string(error);
    }
}

}  // namespace platform
