// The response parser: an incremental reader of one HTTP/1.x response at a time. It is fed the
// bytes as they arrive and stops at every event, so the client can react (even by aborting)
// before the next byte is looked at. Body bytes are handed out as pointers into the fed buffer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace download {

class THttpResponseParser {
public:
    enum class TEvent { kNeedMore, kHeaderDone, kBody, kMessageDone, kError };
    struct TResult {
        TEvent Event = TEvent::kNeedMore;
        size_t Consumed = 0;
        const char* Data = nullptr;  // kBody only
        size_t Length = 0;
    };

    static constexpr size_t kMaxLineLength = 16 * 1024;
    static constexpr size_t kMaxHeaderSize = 256 * 1024;

    // Prepares for the response to a new request.
    void Start(bool headRequest);
    // Looks at the bytes up to the next event.
    TResult Feed(const char* data, size_t length);
    // The connection closed: kMessageDone when that ends the body, kError otherwise (with the
    // error set), kNeedMore when no response had begun at all (nothing was fed).
    TEvent Eof();

    bool HasBody() const { return FHasBody; }
    bool BodyUntilClose() const { return FHasBody && !Chunked && ContentLength < 0; }
    bool InBody() const { return FState >= TState::kBodyLength && FState <= TState::kBodyClose; }
    bool Done() const { return FState == TState::kDone; }
    bool GotAnything() const { return FGotAnything; }
    // Whether the connection may carry another request after this response.
    bool KeepAlive(const std::string& requestVersion) const;

    // What the header said.
    std::string Version;  // "1.0" or "1.1"
    int StatusCode = 0;
    std::string ReasonPhrase;
    int64_t ContentLength = -1;
    bool Chunked = false;
    std::string AcceptRanges, Location, ContentType, ConnectionValue, ContentEncoding;
    bool HasLocation = false;
    bool HasContentRange = false;
    std::string ContentRangeBegin, ContentRangeEnd;
    std::vector<std::string> HeaderLines;  // every line of the header as received

    int ErrorCode = 0;  // set with kError
    std::string ErrorText;

private:
    enum class TState {
        kStatusLine,
        kHeaderLines,
        kBodyLength,
        kChunkSize,
        kChunkData,
        kChunkDataEnd,
        kBodyClose,
        kTrailer,
        kDone,
        kError
    };
    // Collects one line; true when `FLine` holds a whole line (without CR LF).
    bool TakeLine(const char* data, size_t length, size_t& pos);
    TEvent Fail(int code, const std::string& text);
    bool ParseStatusLine(const std::string& line);
    void ParseHeaderLine(const std::string& line);
    TEvent FinishHeader();
    // kError (with the error set) for a size that is not hexadecimal or past 63 bits.
    TEvent ParseChunkSize(const std::string& line);

    TState FState = TState::kStatusLine;
    bool FHeadRequest = false;
    bool FHasBody = false;
    bool FGotAnything = false;
    bool FReportedDone = false;
    bool FLineComplete = false;
    bool FLineOverflow = false;
    std::string FLine;
    std::string FBadLength;  // a length field whose number no offset can hold
    size_t FHeaderSize = 0;
    int64_t FRemaining = 0;
};

}  // namespace download
