#include "download/request_outcome.h"

#include "download/http_types.h"

namespace download {

TRequestOutcome ClassifyRequest(int errorCode, int status, bool ranged) {
    TRequestEnd kind = TRequestEnd::kSocket;  // the system's numbers: everything not ours
    switch (errorCode) {
        case kHttpErrNone:
            kind = status == 200 || (ranged && status == 206) ? TRequestEnd::kComplete
                                                              : TRequestEnd::kHttpStatus;
            break;
        case kHttpErrAborted:
            kind = TRequestEnd::kAborted;
            break;
        case kHttpErrTls:
            kind = TRequestEnd::kTls;
            break;
        case kHttpErrBadLength:
            kind = TRequestEnd::kBadLength;
            break;
        case kHttpErrBusy:
        case kHttpErrOverflow:
        case kHttpErrVersion:
        case kHttpErrNoStatusCode:
        case kHttpErrProtocol:
        case kHttpErrTruncated:
        case kHttpErrBadUrl:
        case kHttpErrSocks:
        case kHttpErrScheme:
            kind = TRequestEnd::kProtocol;
            break;
        default:
            break;
    }
    return TRequestOutcome{kind, errorCode, status};
}

}  // namespace download
