// How one request of the HTTP client ended, classified once where it ends. The engine decides
// on the kind; the numbers its events and log lines carry (the client's error code, the
// status) are made from it at the edges only.
#pragma once

namespace download {

enum class TRequestEnd {
    kComplete,    // a whole response with the status that was asked for
    kHttpStatus,  // a whole response with any other status
    kSocket,      // the lookup or the connection failed: the system's error number
    kProtocol,    // the reply, the proxy or the address could not be used as HTTP
    kBadLength,   // a length, size or range in the reply that no offset can hold
    kTls,
    kAborted,  // on request, or because the reply was not what was asked for
};

struct TRequestOutcome {
    TRequestEnd Kind;
    int ErrorCode;  // as the client reported it; 0 for a whole response
    int Status;
};

// `ranged`: a request for a byte range, which a 206 answers as well as a 200.
TRequestOutcome ClassifyRequest(int errorCode, int status, bool ranged);

}  // namespace download
