#include "download/http_parser.h"

#include <cstdint>
#include <cstring>

#include "download/http_types.h"
#include "platform/text.h"

namespace download {

void THttpResponseParser::Start(bool headRequest) {
    *this = THttpResponseParser();
    FHeadRequest = headRequest;
}

THttpResponseParser::TEvent THttpResponseParser::Fail(int code, const std::string& text) {
    FState = TState::kError;
    ErrorCode = code;
    ErrorText = text;
    return TEvent::kError;
}

bool THttpResponseParser::TakeLine(const char* data, size_t length, size_t& pos) {
    if (FLineComplete) {
        FLine.clear();
        FLineComplete = false;
    }
    const char* start = data + pos;
    const void* lf = std::memchr(start, '\n', length - pos);
    size_t take = lf ? static_cast<const char*>(lf) - start + 1 : length - pos;
    if (FLine.size() + take > kMaxLineLength || FHeaderSize + take > kMaxHeaderSize) {
        FLineOverflow = true;
        return false;
    }
    FLine.append(start, take);
    FHeaderSize += take;
    pos += take;
    if (!lf) return false;
    FLine.pop_back();
    if (!FLine.empty() && FLine.back() == '\r') FLine.pop_back();
    FLineComplete = true;
    return true;
}

bool THttpResponseParser::ParseStatusLine(const std::string& line) {
    if (line.rfind("HTTP/1.0", 0) != 0 && line.rfind("HTTP/1.1", 0) != 0) return false;
    Version = line.substr(5, 3);
    size_t digit = line.find_first_of("0123456789", 9);
    if (digit == std::string::npos || digit + 3 > line.size()) return false;
    for (size_t i = digit; i < digit + 3; ++i)
        if (line[i] < '0' || line[i] > '9') return false;
    if (digit + 3 < line.size() && line[digit + 3] >= '0' && line[digit + 3] <= '9') return false;
    StatusCode = std::stoi(line.substr(digit, 3));
    ReasonPhrase = digit + 4 <= line.size() ? line.substr(digit + 4) : std::string();
    return true;
}

void THttpResponseParser::ParseHeaderLine(const std::string& line) {
    HeaderLines.push_back(line);
    size_t colon = line.find(':');
    if (colon == std::string::npos) return;
    std::string name = platform::LowerCase(platform::Trim(line.substr(0, colon)));
    size_t valueStart = line.find_first_not_of(' ', colon + 1);
    std::string value = valueStart == std::string::npos
                            ? std::string()
                            : platform::TrimRight(line.substr(valueStart));
    if (name == "content-length") {
        int64_t length = -1;
        if (platform::ParseInt64(value, length)) {
            ContentLength = length >= 0 ? length : -1;
        } else if (!value.empty() && value.find_first_not_of("0123456789") == std::string::npos) {
            // A number after all, only too long for any offset: reading it as "no length"
            // would take whatever the server sends until it closes.
            FBadLength = "Content-Length " + value;
        } else {
            ContentLength = -1;
        }
    } else if (name == "transfer-encoding") {
        Chunked = platform::FindNoCase(value, "chunked") != std::string::npos;
    } else if (name == "content-range") {
        size_t dash = value.find('-');
        size_t slash = value.find('/');
        HasContentRange = true;
        if (dash != std::string::npos && dash >= 6) ContentRangeBegin = value.substr(6, dash - 6);
        if (dash != std::string::npos)
            ContentRangeEnd = value.substr(dash + 1, slash == std::string::npos || slash < dash
                                                         ? std::string::npos
                                                         : slash - dash - 1);
    } else if (name == "accept-ranges") {
        AcceptRanges = value;
    } else if (name == "location") {
        Location = value;
        HasLocation = true;
    } else if (name == "content-type") {
        ContentType = value;
    } else if (name == "connection" || name == "proxy-connection") {
        ConnectionValue += platform::LowerCase(value) + ",";
    } else if (name == "content-encoding") {
        ContentEncoding = value;
    }
}

THttpResponseParser::TEvent THttpResponseParser::FinishHeader() {
    FHasBody = !FHeadRequest && ContentLength != 0;
    if (StatusCode < 200 || StatusCode == 204 || StatusCode == 304) FHasBody = false;
    if (ContentLength < 0 && !Chunked && (StatusCode == 301 || StatusCode == 302)) FHasBody = false;
    if (!FHasBody)
        FState = TState::kDone;
    else if (Chunked)
        FState = TState::kChunkSize;
    else if (ContentLength > 0)
        FState = TState::kBodyLength, FRemaining = ContentLength;
    else
        FState = TState::kBodyClose;
    FHeaderSize = 0;
    return TEvent::kHeaderDone;
}

THttpResponseParser::TEvent THttpResponseParser::ParseChunkSize(const std::string& line) {
    std::string text = platform::Trim(line.substr(0, line.find(';')));
    if (text.empty()) return Fail(kHttpErrProtocol, "HTTP bad chunk size");
    uint64_t size = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0) return Fail(kHttpErrProtocol, "HTTP bad chunk size");
        // Leading zeros are only padding; past 63 bits no count of ours can hold the size.
        if (size > (static_cast<uint64_t>(INT64_MAX) - static_cast<uint64_t>(digit)) / 16)
            return Fail(kHttpErrBadLength, kHttpBadLengthReason + ("chunk size " + text));
        size = size * 16 + static_cast<uint64_t>(digit);
    }
    FRemaining = static_cast<int64_t>(size);
    return TEvent::kNeedMore;
}

THttpResponseParser::TResult THttpResponseParser::Feed(const char* data, size_t length) {
    TResult result;
    size_t pos = 0;
    if (length > 0) FGotAnything = true;
    auto lineEvent = [&](TEvent e) {
        result.Event = e;
        result.Consumed = pos;
        return result;
    };
    while (true) {
        switch (FState) {
            case TState::kStatusLine:
            case TState::kHeaderLines:
            case TState::kChunkSize:
            case TState::kChunkDataEnd:
            case TState::kTrailer: {
                if (pos >= length) return lineEvent(TEvent::kNeedMore);
                if (!TakeLine(data, length, pos)) {
                    if (FLineOverflow)
                        return lineEvent(Fail(kHttpErrOverflow, "HTTP header too large"));
                    return lineEvent(TEvent::kNeedMore);
                }
                const std::string& line = FLine;
                if (FState == TState::kStatusLine) {
                    if (line.empty()) continue;  // stray blank lines before a response
                    if (!ParseStatusLine(line))
                        return lineEvent(Fail(kHttpErrProtocol, "HTTP bad status line"));
                    FState = TState::kHeaderLines;
                } else if (FState == TState::kHeaderLines) {
                    if (!line.empty()) {
                        ParseHeaderLine(line);
                        if (!FBadLength.empty())
                            return lineEvent(
                                Fail(kHttpErrBadLength, kHttpBadLengthReason + FBadLength));
                        continue;
                    }
                    if (StatusCode >= 100 && StatusCode < 200) {
                        // An interim reply such as "100 Continue": the real one follows.
                        bool head = FHeadRequest;
                        Start(head);
                        FGotAnything = true;
                        continue;
                    }
                    return lineEvent(FinishHeader());
                } else if (FState == TState::kChunkSize) {
                    FHeaderSize = 0;  // the size limit is per line here, not per body
                    if (ParseChunkSize(line) == TEvent::kError) return lineEvent(TEvent::kError);
                    FState = FRemaining == 0 ? TState::kTrailer : TState::kChunkData;
                } else if (FState == TState::kChunkDataEnd) {
                    FHeaderSize = 0;
                    if (!line.empty())
                        return lineEvent(Fail(kHttpErrProtocol, "HTTP bad chunk end"));
                    FState = TState::kChunkSize;
                } else if (line.empty()) {
                    FState = TState::kDone;
                    return lineEvent(TEvent::kMessageDone);
                }
                continue;
            }
            case TState::kBodyLength:
            case TState::kChunkData:
            case TState::kBodyClose: {
                size_t available = length - pos;
                if (FState != TState::kBodyClose && static_cast<uint64_t>(FRemaining) < available)
                    available = static_cast<size_t>(FRemaining);
                if (available == 0) {
                    if (FState == TState::kBodyClose || FRemaining > 0)
                        return lineEvent(TEvent::kNeedMore);
                    if (FState == TState::kChunkData) {
                        FState = TState::kChunkDataEnd;
                        continue;
                    }
                    FState = TState::kDone;
                    return lineEvent(TEvent::kMessageDone);
                }
                result.Event = TEvent::kBody;
                result.Data = data + pos;
                result.Length = available;
                result.Consumed = pos + available;
                if (FState != TState::kBodyClose) FRemaining -= static_cast<int64_t>(available);
                return result;
            }
            case TState::kDone:
                if (!FHasBody && !FReportedDone) {
                    FReportedDone = true;
                    return lineEvent(TEvent::kMessageDone);
                }
                return lineEvent(TEvent::kNeedMore);
            case TState::kError:
                return lineEvent(TEvent::kError);
        }
    }
}

THttpResponseParser::TEvent THttpResponseParser::Eof() {
    switch (FState) {
        case TState::kStatusLine:
            return Fail(kHttpErrNoStatusCode,
                        "HTTP no status code (connection closed prematurely)");
        case TState::kHeaderLines:
            return Fail(kHttpErrTruncated, "HTTP connection closed in the header");
        case TState::kBodyClose:
        case TState::kTrailer:
            FState = TState::kDone;
            return TEvent::kMessageDone;
        case TState::kDone:
            return TEvent::kMessageDone;
        case TState::kError:
            return TEvent::kError;
        default:
            return Fail(kHttpErrTruncated, "HTTP connection closed before the end of the body");
    }
}

bool THttpResponseParser::KeepAlive(const std::string& requestVersion) const {
    if (BodyUntilClose()) return false;
    if (!FHasBody && ContentLength < 0 && !Chunked && !FHeadRequest && StatusCode >= 200 &&
        StatusCode != 204 && StatusCode != 304)
        return false;  // a body of unknown length may follow; only closing gets rid of it
    if (ConnectionValue.find("close") != std::string::npos) return false;
    if (ConnectionValue.find("keep-alive") != std::string::npos) return true;
    return requestVersion == "1.1" && Version == "1.1";
}

}  // namespace download
